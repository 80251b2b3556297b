"""The speech service stand-in: synthesis (single request and long-text task),
the voice catalogue with its samples, upload and recognition tasks.

Every logical answer is HTTP 200 with a JSON object whose "code" says how it went:
200 success, 400 a bad or missing parameter, 401 a bad "sign", 404 an unknown task.
"""

import base64
import binascii
import hashlib
import itertools
import re
import threading
import uuid

import faults
import recognise
import synth
from httpserver import Reply, json_reply
from wire import Form, ansi_decode, escape_base64, parse_multipart, sign_of

SYNTHESIS_FIELDS = ("text", "volume", "speed", "voiceType", "emotion", "codec", "sign")
RECOGNITION_FIELDS = ("engineModelType", "channelNum", "resTextFormat", "sourceType", "url", "sign")
RECOGNITION_MODELS = ("16k_zh", "16k_en")
DEFAULT_TASK_STATUSES = [1, 1, 2]  # two polls report running, the third delivers
TASK_WAIT_SECONDS = 600
AUDIO_TYPES = {"mp3": "audio/mpeg", "wav": "audio/wav", "pcm": "application/octet-stream"}


class RequestError(Exception):
    def __init__(self, code, msg):
        super().__init__(msg)
        self.code = code
        self.msg = msg


class Task:
    """A server-side task: the statuses its polls report and the work behind it."""

    def __init__(self, statuses):
        self.statuses = list(statuses)
        self.polls = 0
        self._poll_lock = threading.Lock()  # polls of one task may arrive on several request threads
        self.finished = threading.Event()
        self.result = None   # audio bytes or recognised text
        self.error = None
        self.codec = None

    def next_status(self):
        with self._poll_lock:
            status = self.statuses[min(self.polls, len(self.statuses) - 1)]
            self.polls += 1
        return status

    def run(self, work):
        def body():
            try:
                self.result = work()
                if self.result is None:
                    self.error = "nothing recognised"
            except Exception as error:
                self.error = str(error)
            self.finished.set()
        threading.Thread(target=body, name="standin-task", daemon=True).start()


class SpeechService:
    def __init__(self, instance, run):
        self.instance = instance
        self.run = run
        self.lock = threading.Lock()
        self.tts_tasks = {}
        self.asr_tasks = {}
        self.uploads = {}
        self._ids = itertools.count(1)

    # --- request description for the log ---

    def inspect(self, request):
        log = request.log
        content_type = request.headers.get("Content-Type", "")
        request.form = None
        request.parts = None
        if request.method == "POST" and content_type.startswith("multipart/form-data"):
            request.parts = parse_multipart(request.body, content_type)
            if request.parts is None:
                log["multipart_error"] = "not a valid multipart body"
                return
            log["form"] = {name: part["data"].decode("utf-8", "replace")
                           for name, part in request.parts.items() if part["filename"] is None}
            log["files"] = {name: {"filename": part["filename"], "size": len(part["data"]),
                                   "sha256": hashlib.sha256(part["data"]).hexdigest()}
                            for name, part in request.parts.items() if part["filename"] is not None}
            stamp = request.parts.get("timestamp", {}).get("data", b"").decode("latin-1")
            log["sign_ok"] = request.parts.get("sign", {}).get("data", b"").decode("latin-1") == sign_of(stamp)
            return
        if request.method == "POST":
            request.form = Form(request.body)
            log["form"] = request.form.for_log()
            log["body"] = request.body.decode("utf-8", "replace")
            if "text" in request.form:
                escaped = escape_base64(request.form.values["text"].decode("latin-1"))
                log["sign_ok"] = request.form.text("sign", "latin-1") == sign_of(escaped)
                # The client writes the escaped text into the form as it is, so the
                # value as sent must be exactly the escaped Base64.
                if request.form.raw_values["text"].decode("latin-1") != escaped:
                    log["text_error"] = "text is not Base64 with \"+\", \"=\", \"/\" written as %2B, %3D, %2F"
                    return
                try:
                    log["text"] = ansi_decode(base64.b64decode(request.form.values["text"], validate=True))
                except (binascii.Error, ValueError):
                    log["text_error"] = "text is not Base64 of code page 936 bytes"
            elif "url" in request.form:
                log["sign_ok"] = request.form.text("sign", "latin-1") == sign_of(request.form.text("url", "latin-1"))

    # --- replies ---

    def reply(self, request, fault):
        path = request.path
        routes = {
            "/colud/tts/text2voice.php": self._text2voice,
            "/colud/tts/text2voiceTask.php": self._tts_task,
            "/colud/tts/voiceCategory.php": lambda r, f: self._catalogue(self.run.catalogue.category_records(), f),
            "/colud/tts/voiceList.php": lambda r, f: self._catalogue(self.run.catalogue.voice_records(r.base_url), f),
            "/colud/tts/voiceEmotion.php": lambda r, f: self._catalogue(self.run.catalogue.emotion_records(), f),
            "/colud/ars/upload.php": self._upload,
            "/colud/ars/voice2TextTask.php": self._asr_task,
        }
        if path in routes:
            try:
                return routes[path](request, fault)
            except RequestError as error:
                return self._answer({"code": error.code, "msg": error.msg}, fault)
        for prefix, serve in (("/colud/tts/download/", self._download), ("/colud/tts/samples/", self._sample),
                              ("/colud/ars/files/", self._uploaded_file)):
            if path.startswith(prefix):
                return serve(path[len(prefix):])
        return Reply(404, b"no such path", "text/plain")

    def _answer(self, obj, fault, ansi=False):
        return json_reply(faults.apply_to_object(fault, obj), ansi)

    def _catalogue(self, records, fault):
        # Catalogue texts travel in the client's ANSI code page.
        return self._answer({"code": 200, "msg": "success", "data": records}, fault, ansi=True)

    def _form(self, request, fields):
        if request.form is None:
            raise RequestError(400, "expected a form body")
        for name in fields:
            if name not in request.form:
                raise RequestError(400, "missing parameter %s" % name)
        return request.form

    def _synthesis(self, request):
        """Checks a synthesis form; returns a function that speaks it and the spoken text."""
        form = self._form(request, SYNTHESIS_FIELDS)
        if not request.log.get("sign_ok"):
            raise RequestError(401, "sign mismatch")
        if "text" not in request.log:
            raise RequestError(400, request.log.get("text_error", "text is not Base64 of code page 936 bytes"))
        try:
            ops = synth.parse_ssml(request.log["text"])
        except synth.SsmlError as error:
            raise RequestError(400, "bad SSML: %s" % error)
        volume, speed = form.integer("volume"), form.integer("speed")
        if volume is None or not 0 <= volume <= 9 or speed is None or not 0 <= speed <= 9:
            raise RequestError(400, "volume and speed are integers 0..9")
        voice_type = form.integer("voiceType")
        speaker = self.run.catalogue.speaker(voice_type) if voice_type is not None else None
        if speaker is None:
            raise RequestError(400, "unknown voiceType")
        emotion = form.text("emotion")
        if emotion not in self.run.catalogue.emotion_keys:
            raise RequestError(400, "unknown emotion")
        if not self.run.catalogue.by_type[voice_type]["isEmotion"]:
            emotion = "neutral"
        codec = form.text("codec")
        if codec not in synth.CODECS:
            raise RequestError(400, "codec is one of mp3, wav, pcm")
        text = synth.spoken_text(ops)

        def speak():
            audio, pcm, rate = synth.synthesize(ops, speaker, speed, volume, emotion, codec)
            self.run.memory.remember(audio, pcm, rate, text)
            return audio
        return speak, codec

    def _text2voice(self, request, fault):
        speak, _ = self._synthesis(request)
        try:
            audio = speak()
        except Exception as error:
            raise RequestError(500, "synthesis failed: %s" % error)
        return self._answer({"code": 200, "msg": "success", "data": base64.b64encode(audio).decode("ascii"),
                             "RequestId": uuid.uuid4().hex}, fault)

    def _statuses(self, fault):
        return (fault or {}).get("task_status") or DEFAULT_TASK_STATUSES

    def _tts_task(self, request, fault):
        form = request.form
        if form is not None and "taskId" in form and "text" not in form:
            return self._tts_poll(request, form.text("taskId", "latin-1"), fault)
        speak, codec = self._synthesis(request)
        task = Task(self._statuses(fault))
        task.codec = codec
        task_id = "tts%06d%s" % (next(self._ids), uuid.uuid4().hex[:10])
        with self.lock:
            self.tts_tasks[task_id] = task
        task.run(speak)
        return self._answer({"code": 200, "msg": "success", "data": task_id}, fault)

    def _poll(self, task, fault, deliver):
        if task is None:
            raise RequestError(404, "no such task")
        status = task.next_status()
        reply = {"code": 200, "status": status, "msg": "running", "data": ""}
        if status == 2:
            if not task.finished.wait(TASK_WAIT_SECONDS) or task.error:
                reply.update(status=3, msg="task failed: %s" % (task.error or "timed out"))
            else:
                reply.update(msg="success", data=deliver())
        elif status == 3:
            reply["msg"] = "task failed"
        return self._answer(reply, fault)

    def _tts_poll(self, request, task_id, fault):
        with self.lock:
            task = self.tts_tasks.get(task_id)
        return self._poll(task, fault, lambda: "%s/colud/tts/download/%s.%s" % (request.base_url, task_id, task.codec))

    def _download(self, name):
        task_id, _, codec = name.partition(".")
        with self.lock:
            task = self.tts_tasks.get(task_id)
        if task is None or codec != task.codec or not task.finished.is_set() or task.error:
            return Reply(404, b"no such audio", "text/plain")
        return Reply(200, task.result, AUDIO_TYPES[codec])

    def _sample(self, name):
        match = re.fullmatch(r"(\d+)\.mp3", name)
        audio = self.run.catalogue.sample(int(match.group(1))) if match else None
        if audio is None:
            return Reply(404, b"no such sample", "text/plain")
        return Reply(200, audio, "audio/mpeg")

    # --- recognition ---

    def _upload(self, request, fault):
        parts = request.parts
        if parts is None:
            raise RequestError(400, "expected a multipart body")
        for name in ("file", "timestamp", "sign", "submit"):
            if name not in parts:
                raise RequestError(400, "missing part %s" % name)
        if parts["file"]["filename"] is None:
            raise RequestError(400, "part file is not a file")
        if not request.log.get("sign_ok"):
            raise RequestError(401, "sign mismatch")
        extension = re.sub(r"[^A-Za-z0-9]", "", parts["file"]["filename"].rpartition(".")[2])[:8] or "bin"
        name = "%d.%s" % (next(self._ids), extension.lower())
        with self.lock:
            self.uploads[name] = parts["file"]["data"]
        url = "%s/colud/ars/files/%s" % (request.base_url, name)
        return self._answer({"code": 200, "msg": "success", "data": {"url": url}}, fault)

    def _uploaded_file(self, name):
        with self.lock:
            data = self.uploads.get(name)
        if data is None:
            return Reply(404, b"no such file", "text/plain")
        return Reply(200, data, "application/octet-stream")

    def _asr_task(self, request, fault):
        form = request.form
        if form is not None and "taskId" in form and "url" not in form:
            task_id = form.integer("taskId")
            with self.lock:
                task = self.asr_tasks.get(task_id)
            return self._poll(task, fault, lambda: task.result)
        form = self._form(request, RECOGNITION_FIELDS)
        if not request.log.get("sign_ok"):
            raise RequestError(401, "sign mismatch")
        model = form.text("engineModelType", "latin-1")
        if model not in RECOGNITION_MODELS:
            raise RequestError(400, "engineModelType is 16k_zh or 16k_en")
        if any(form.integer(name) is None for name in ("channelNum", "resTextFormat", "sourceType")):
            raise RequestError(400, "channelNum, resTextFormat and sourceType are integers")
        if form.integer("sourceType") != 0:
            raise RequestError(400, "sourceType 0 (audio at \"url\") is the only source served")
        url = form.text("url", "latin-1")
        name = url.rpartition("/colud/ars/files/")[2] if "/colud/ars/files/" in url else None
        with self.lock:
            audio = self.uploads.get(name) if name else None
        task = Task(self._statuses(fault))
        result_text = (fault or {}).get("result_text")
        task_id = 5000000000 + next(self._ids) * 7919  # beyond 32 bits on purpose
        with self.lock:
            self.asr_tasks[task_id] = task
        if result_text is not None:
            task.run(lambda: result_text)
        elif audio is None:
            task.run(lambda: None)
        else:
            task.run(lambda: recognise.recognise(audio, model, self.run.memory))
        return self._answer({"code": 200, "msg": "success", "data": task_id}, fault)
