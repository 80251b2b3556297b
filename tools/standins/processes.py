"""Runs the helper programs (espeak-ng, ffmpeg, pocketsphinx) with a time limit,
keeping track of the running ones so that a stopping supervisor ends them all."""

import subprocess
import threading

_lock = threading.Lock()
_running = set()
_stopping = False


class ToolError(Exception):
    pass


def run(args, input_bytes=None, timeout=300):
    """Runs a program and returns its standard output; raises ToolError on failure."""
    with _lock:
        if _stopping:
            raise ToolError("stand-in is stopping")
        try:
            process = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE)
        except OSError as error:
            raise ToolError("%s cannot start: %s" % (args[0], error))
        _running.add(process)
    try:
        out, err = process.communicate(input_bytes, timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        raise ToolError("%s timed out" % args[0])
    finally:
        with _lock:
            _running.discard(process)
    if process.returncode != 0:
        raise ToolError("%s failed (%d): %s" % (args[0], process.returncode,
                                                  err.decode("utf-8", "replace").strip()[-400:]))
    return out


def stop_all():
    """Ends every running helper and refuses new ones."""
    global _stopping
    with _lock:
        _stopping = True
        running = list(_running)
    for process in running:
        try:
            process.kill()
        except OSError:
            pass
    for process in running:
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass
