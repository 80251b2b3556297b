"""The speech stand-in's task record under polls that arrive at the same time
(the server answers each request on a thread of its own)."""

import os
import sys
import threading
import unittest

from standin_harness import ROOT

sys.path.insert(0, os.path.join(ROOT, "tools", "standins"))
import speech  # noqa: E402


class TaskPollTest(unittest.TestCase):
    def test_concurrent_polls_each_take_their_own_step_of_the_script(self):
        threads, polls = 8, 5000
        # A script of distinct statuses shows which step each poll was given.
        task = speech.Task(range(threads * polls))
        seen = [[] for _ in range(threads)]
        start = threading.Barrier(threads)

        def poll(slot):
            start.wait()
            for _ in range(polls):
                seen[slot].append(task.next_status())

        # Switch threads as often as the interpreter allows, so a poll that
        # reads the count without the lock is overtaken by another.
        interval = sys.getswitchinterval()
        sys.setswitchinterval(1e-6)
        try:
            workers = [threading.Thread(target=poll, args=(slot,)) for slot in range(threads)]
            for worker in workers:
                worker.start()
            for worker in workers:
                worker.join()
        finally:
            sys.setswitchinterval(interval)
        self.assertEqual(task.polls, threads * polls)
        self.assertEqual(sorted(s for statuses in seen for s in statuses), list(range(threads * polls)))
        # Each thread saw its own steps in order, and a poll past the end repeats the last status.
        for statuses in seen:
            self.assertEqual(statuses, sorted(statuses))
        self.assertEqual(task.next_status(), threads * polls - 1)


if __name__ == "__main__":
    unittest.main()
