"""Scripted faults: per path, a queue of faults that the next matching requests
consume. The vocabulary is documented in README.md; every key is checked when
a fault is scripted so that a typo is an error, not a silently normal reply."""

import threading

# key -> (accepted JSON types, description)
VOCABULARY = {
    "match": ((str,), "apply only to a request whose query or body contains this text"),
    "times": ((int,), "number of requests this fault applies to (default 1; -1 = every request)"),
    "delay_ms": ((int,), "wait this long before replying"),
    "drop": ((bool,), "close the connection without any reply"),
    "http_status": ((int,), "reply with this HTTP status"),
    "redirect": ((str,), "answer with a redirect (HTTP 302 unless http_status gives another 3xx) to this URL"),
    "body": ((str,), "reply exactly this body (UTF-8) instead of the service's reply"),
    "code": ((int,), "set the reply's \"code\""),
    "members": ((dict,), "set these members of the reply object (any JSON values)"),
    "remove": ((list,), "remove these members from the reply object"),
    "task_status": ((list,), "on a task creation: the statuses its polls report, the last repeating"),
    "result_text": ((str,), "on a recognition task creation: the text delivered at status 2"),
    "envelope_flags": ((int,), "management reply envelope with these flags"),
    "nonce": ((str,), "management reply envelope echoing this nonce instead of the request's"),
    "plain_failed": ((bool,), "management reply as the plain body {\"status\":\"FAILED\",...}"),
    "bad_signature": ((bool, str), "management reply whose CRC (true or \"crc\") or RSA block (\"garbage\") is wrong"),
}


def validate(fault):
    """Returns an error text, or None when the fault is well-formed."""
    if not isinstance(fault, dict):
        return "a fault is a JSON object"
    for key, value in fault.items():
        if key not in VOCABULARY:
            return "unknown fault key %r (known: %s)" % (key, ", ".join(sorted(VOCABULARY)))
        types = VOCABULARY[key][0]
        if isinstance(value, bool) and bool not in types:
            return "fault key %r has the wrong type" % key
        if not isinstance(value, types):
            return "fault key %r has the wrong type" % key
    if "task_status" in fault and not all(isinstance(s, int) and not isinstance(s, bool) for s in fault["task_status"]):
        return "task_status is a list of integers"
    if "task_status" in fault and not fault["task_status"]:
        return "task_status is empty"
    if "remove" in fault and not all(isinstance(s, str) for s in fault["remove"]):
        return "remove is a list of member names"
    if fault.get("bad_signature") not in (None, True, False, "crc", "garbage"):
        return "bad_signature is true, \"crc\" or \"garbage\""
    if "redirect" in fault and not fault["redirect"]:
        return "redirect names the URL to send the client to"
    if "redirect" in fault and not 300 <= fault.get("http_status", 302) <= 399:
        return "a redirect's http_status is a 3xx status"
    if "redirect" in fault and "body" in fault:
        return "a redirect has no body of its own"
    if fault.get("times", 1) == 0 or fault.get("times", 1) < -1:
        return "times is a positive count or -1"
    return None


class FaultBook:
    """Per-path queues of scripted faults of one instance."""

    def __init__(self):
        self._lock = threading.Lock()
        self._queues = {}

    def add(self, path, fault):
        entry = dict(fault)
        entry.setdefault("times", 1)
        with self._lock:
            self._queues.setdefault(path, []).append(entry)

    def clear(self):
        with self._lock:
            self._queues.clear()

    def take(self, path, haystack):
        """The first fault of the path that matches the request text (query + body),
        counted as used; None when there is none. A path scripted with a final "*"
        stands for every path that starts with what precedes it."""
        with self._lock:
            queues = [self._queues.get(path, [])]
            queues += [queue for key, queue in self._queues.items() if key.endswith("*") and path.startswith(key[:-1])]
            return self._take_from(queues, haystack)

    @staticmethod
    def _take_from(queues, haystack):
        for queue in queues:
            for index, entry in enumerate(queue):
                match = entry.get("match")
                if match is not None and match not in haystack:
                    continue
                if entry["times"] > 0:
                    entry["times"] -= 1
                    if entry["times"] == 0:
                        del queue[index]
                fault = dict(entry)
                fault.pop("times", None)
                return fault
        return None


def apply_to_object(fault, reply):
    """Applies "code", "members" and "remove" to a reply object in place."""
    if not fault:
        return reply
    if "code" in fault:
        reply["code"] = fault["code"]
        reply.setdefault("msg", "scripted failure")
    for name, value in fault.get("members", {}).items():
        reply[name] = value
    for name in fault.get("remove", []):
        reply.pop(name, None)
    return reply
