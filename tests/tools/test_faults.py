"""Scripted faults of the speech stand-in, the control API's robustness and a
clean stop (envelope faults are covered with the envelope decoder in
test_management)."""

import http.client
import json
import os
import time
import unittest

from standin_harness import StandinTestCase, Supervisor, synthesis_form

CATEGORY = "/colud/tts/voiceCategory.php"
TASK = "/colud/tts/text2voiceTask.php"


class FaultTest(StandinTestCase):
    def test_each_reply_fault_is_produced_once_then_normal_replies_resume(self):
        def reply_of(status, body):
            return json.loads(body.decode("gbk")) if status == 200 and body.startswith(b"{") else None
        cases = [
            ({"http_status": 500}, lambda s, b, j: s == 500),
            ({"body": "<html>not json</html>"}, lambda s, b, j: s == 200 and b == b"<html>not json</html>"),
            ({"code": 503}, lambda s, b, j: j["code"] == 503 and isinstance(j["data"], list)),
            ({"members": {"code": "200", "data": {"x": 1}}}, lambda s, b, j: j["code"] == "200" and j["data"] == {"x": 1}),
            ({"remove": ["data"]}, lambda s, b, j: j["code"] == 200 and "data" not in j),
        ]
        for fault, produced in cases:
            with self.subTest(fault=fault):
                self.instance.script(CATEGORY, fault)
                status, body = self.instance.speech(CATEGORY, https=False)
                self.assertTrue(produced(status, body, reply_of(status, body)), (status, body[:200]))
                status, body = self.instance.speech(CATEGORY, https=False)
                self.assertEqual(reply_of(status, body)["code"], 200)
        self.assertEqual(self.instance.count(CATEGORY), 2 * len(cases))
        self.assertEqual([r.get("fault") is not None for r in self.instance.requests(CATEGORY)][:2], [True, False])

    def test_slow_reply_and_dropped_connection(self):
        self.instance.script(CATEGORY, {"delay_ms": 1500})
        start = time.monotonic()
        status, _ = self.instance.speech(CATEGORY)
        self.assertEqual(status, 200)
        self.assertGreaterEqual(time.monotonic() - start, 1.4)
        for https in (True, False):
            self.instance.script(CATEGORY, {"drop": True})
            with self.assertRaises((http.client.HTTPException, ConnectionError)):
                self.instance.speech(CATEGORY, https=https)
        self.assertEqual(self.instance.requests(CATEGORY)[-1]["status"], "dropped")

    def test_task_status_sequence_match_and_times(self):
        self.instance.script(TASK, {"task_status": [0, 5, 3]})
        self.instance.script(TASK, {"match": "taskId=", "times": 2, "members": {"extra": True}})
        created = self.instance.speech_json(TASK, synthesis_form("<speak>你好</speak>"))
        self.assertNotIn("extra", created)  # the match fault waits for the polls
        polls = [self.instance.speech_json(TASK, ("taskId=%s" % created["data"]).encode()) for _ in range(4)]
        self.assertEqual([p["status"] for p in polls], [0, 5, 3, 3])
        self.assertEqual([p.get("extra") for p in polls], [True, True, None, None])

        self.instance.script(TASK, {"task_status": [2]})
        self.instance.script("/colud/tts/download/*", {"http_status": 500})
        created = self.instance.speech_json(TASK, synthesis_form("<speak>你好</speak>"))
        url = self.instance.speech_json(TASK, ("taskId=%s" % created["data"]).encode())["data"]
        self.assertEqual([self.instance.fetch(url)[0] for _ in range(2)], [500, 200])

        self.instance.script(CATEGORY, {"times": -1, "code": 401})
        codes = [self.instance.speech_json(CATEGORY)["code"] for _ in range(3)]
        self.assertEqual(codes, [401, 401, 401])

    def test_bad_control_requests_get_errors_and_the_supervisor_lives_on(self):
        control = self.supervisor.control
        path = "/instances/%s/script" % self.instance.id
        cases = [
            ("GET", "/nothing", None, 404),
            ("POST", path, b"{not json", 400),
            ("POST", path, {"fault": {}}, 400),
            ("POST", path, {"path": CATEGORY, "fault": {"http_stauts": 500}}, 400),
            ("POST", path, {"path": CATEGORY, "fault": {"delay_ms": "slow"}}, 400),
            ("POST", path, {"path": CATEGORY, "fault": {"task_status": []}}, 400),
            ("POST", path, {"path": CATEGORY, "fault": [1, 2]}, 400),
            ("POST", path, {"path": CATEGORY, "fault": {"redirect": ""}}, 400),
            ("POST", path, {"path": CATEGORY, "fault": {"redirect": "/x", "http_status": 500}}, 400),
            ("POST", path, {"path": CATEGORY, "fault": {"redirect": "/x", "body": "y"}}, 400),
            ("GET", "/instances/nosuch/requests", None, 404),
            ("DELETE", "/instances/nosuch", None, 404),
            ("GET", "/instances/%s/count" % self.instance.id, None, 400),
        ]
        for method, target, body, expected in cases:
            with self.subTest(method=method, target=target, body=body):
                status, reply = control(method, target, body)
                self.assertEqual(status, expected)
                self.assertIn("error", reply)
        self.assertEqual(control("GET", "/health")[0], 200)
        self.assertEqual(self.instance.speech_json(CATEGORY)["code"], 200)


class StopTest(unittest.TestCase):
    def test_stop_during_work_leaves_no_process(self):
        supervisor = Supervisor()
        # A failure before the stop below must not leave the supervisor running.
        self.addCleanup(lambda: supervisor.process.poll() is None and supervisor.process.kill())
        instance = supervisor.instance()
        long_text = "<speak>" + "今天的天气非常好，我们一起去公园散步吧。" * 60 + "</speak>"
        instance.speech_json(TASK, synthesis_form(long_text))
        children = set()
        for _ in range(100):  # wait until the synthesis runs a helper program
            for tid in os.listdir("/proc/%d/task" % supervisor.process.pid):
                try:
                    with open("/proc/%d/task/%s/children" % (supervisor.process.pid, tid)) as f:
                        children.update(int(p) for p in f.read().split())
                except FileNotFoundError:
                    pass  # the thread ended between the listing and the read
            if children:
                break
            time.sleep(0.05)
        self.assertTrue(children)
        self.assertEqual(supervisor.stop(), 0)
        time.sleep(0.2)
        for pid in children:
            if os.path.exists("/proc/%d" % pid):
                with open("/proc/%d/stat" % pid) as f:
                    self.assertIn(f.read().split()[2], ("Z", "X"), "helper %d still runs" % pid)


if __name__ == "__main__":
    unittest.main()
