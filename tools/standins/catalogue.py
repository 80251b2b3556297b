"""The voice catalogue fixture (catalogue.json) and the sample recordings made
from each voice's example text.

Catalogue texts go out as raw bytes of code page 936 (the client widens them with
its ANSI code page), so every text must encode there without a byte that JSON
gives a meaning to; load() checks that."""

import json
import os
import threading

import synth
from wire import ansi_encode

FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "catalogue.json")
SAMPLE_PATH = "/colud/tts/samples/%d.mp3"


class CatalogueError(Exception):
    pass


def _check_texts(value, where):
    if isinstance(value, str):
        try:
            encoded = ansi_encode(value)
        except UnicodeEncodeError:
            raise CatalogueError("%s: %r is not encodable in code page 936" % (where, value))
        if b"\\" in encoded or b'"' in encoded:
            raise CatalogueError("%s: %r holds a quote or backslash byte in code page 936" % (where, value))
    elif isinstance(value, dict):
        for key, item in value.items():
            _check_texts(item, "%s.%s" % (where, key))
    elif isinstance(value, list):
        for index, item in enumerate(value):
            _check_texts(item, "%s[%d]" % (where, index))


class Catalogue:
    def __init__(self, path=FIXTURE):
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        _check_texts(data, "catalogue")
        self.categories = data["categories"]
        self.emotions = data["emotions"]
        self.voices = data["voices"]
        names = {c["id"]: c["name"] for c in self.categories}
        if len(self.categories) > 9:
            raise CatalogueError("at most nine categories")
        self.by_type = {}
        for voice in self.voices:
            if voice["categoryId"] not in names:
                raise CatalogueError("voice %d has an unknown category" % voice["voiceType"])
            voice["category"] = names[voice["categoryId"]]
            self.by_type[voice["voiceType"]] = voice
        self.emotion_keys = {e["emotion"] for e in self.emotions}
        self._samples = {}
        self._sample_lock = threading.Lock()

    def category_records(self):
        return [{"id": c["id"], "name": c["name"],
                 "count": sum(1 for v in self.voices if v["categoryId"] == c["id"])} for c in self.categories]

    def voice_records(self, base_url):
        """The voice list, members in the order the client's record lists them."""
        return [{
            "categoryId": v["categoryId"], "category": v["category"], "voiceDesc": v["voiceDesc"],
            "voiceType": v["voiceType"], "rate": 16000, "anchorName": v["anchorName"], "emotion": "neutral",
            "isEmotion": v["isEmotion"], "avatar": v["avatar"], "text": v["text"],
            "mp3": base_url + SAMPLE_PATH % v["voiceType"],
        } for v in self.voices]

    def emotion_records(self):
        return [dict(e) for e in self.emotions]

    def speaker(self, voice_type):
        """The synth.Voice of a voice id, or None."""
        voice = self.by_type.get(voice_type)
        if voice is None:
            return None
        return synth.Voice(voice["_espeak"], voice.get("_variant", ""), voice.get("_pitch", 50), voice.get("_gap", 0))

    def sample(self, voice_type):
        """The mp3 sample of a voice (its example text), made once per run."""
        voice = self.by_type.get(voice_type)
        if voice is None:
            return None
        with self._sample_lock:
            lock = self._samples.setdefault(voice_type, [threading.Lock(), None])
        with lock[0]:
            if lock[1] is None:
                ops = [("say", voice["text"])]
                lock[1], _, _ = synth.synthesize(ops, self.speaker(voice_type), 4, 4, "neutral", "mp3")
            return lock[1]
