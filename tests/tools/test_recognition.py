"""Speech stand-in: upload and recognition tasks, with speech that espeak-ng made
outside the stand-in (so the recogniser answers, not a lookup)."""

import base64
import os
import subprocess
import tempfile
import unittest

from standin_harness import StandinTestCase, multipart, sign, synthesis_form

UPLOAD = "/colud/ars/upload.php"
TASK = "/colud/ars/voice2TextTask.php"
SENTENCE = "the weather is nice today and we are going to the park"


def english_speech():
    """WAV bytes of SENTENCE spoken by espeak-ng directly."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "speech.wav")
        subprocess.run(["espeak-ng", "-v", "en-us+klatt4", "-s", "130", "-g", "8", "-w", path, SENTENCE], check=True)
        with open(path, "rb") as f:
            return f.read()


def reencode(wav):
    """The audio as the client passes it on: resampled, then converted to mp3."""
    with tempfile.TemporaryDirectory() as folder:
        source, middle, target = (os.path.join(folder, n) for n in ("a.wav", "b.wav", "c.mp3"))
        with open(source, "wb") as f:
            f.write(wav)
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", source, "-ar", "16000", middle], check=True)
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", middle, "-f", "mp3", target], check=True)
        with open(target, "rb") as f:
            return f.read()


class RecognitionTest(StandinTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.speech = english_speech()

    def upload(self, audio, name="segment00.mp3", timestamp="1796890000123", signature=None):
        body, headers = multipart([("timestamp", timestamp), ("sign", signature or sign(timestamp)),
                                   ("submit", "Submit")], name, audio)
        return self.instance.speech_json(UPLOAD, body, headers=headers)

    def recognise(self, url, model):
        """Creates the task and polls it; returns the final poll reply and the statuses seen."""
        form = "engineModelType=%s&channelNum=1&resTextFormat=0&sourceType=0&url=%s&sign=%s" % (model, url, sign(url))
        created = self.instance.speech_json(TASK, form.encode())
        self.assertEqual(created["code"], 200, created)
        self.assertIsInstance(created["data"], int)
        self.assertGreater(created["data"], 2 ** 32)
        statuses = []
        while len(statuses) < 10:
            poll = self.instance.speech_json(TASK, ("taskId=%d" % created["data"]).encode())
            self.assertEqual(poll["code"], 200)
            statuses.append(poll["status"])
            if poll["status"] in (2, 3):
                return poll, statuses
        self.fail("task never ended: %s" % statuses)

    def test_english_speech_is_recognised(self):
        uploaded = self.upload(self.speech, "speech.wav")
        self.assertEqual(uploaded["code"], 200, uploaded)
        url = uploaded["data"]["url"]
        self.assertTrue(url.startswith(self.instance.urls["speechHttps"]))
        self.assertEqual(self.instance.fetch(url), (200, self.speech))
        poll, statuses = self.recognise(url, "16k_en")
        self.assertEqual(statuses, [1, 1, 2])
        heard = poll["data"].split()
        expected = SENTENCE.split()
        self.assertGreaterEqual(sum(1 for word in expected if word in heard), 0.6 * len(expected), poll["data"])
        entry = self.instance.requests(UPLOAD)[0]
        self.assertTrue(entry["sign_ok"])
        self.assertEqual(entry["form"], {"timestamp": "1796890000123", "sign": sign("1796890000123"), "submit": "Submit"})
        self.assertEqual(entry["files"]["file"]["size"], len(self.speech))

    def test_own_synthesis_is_answered_with_its_text_even_re_encoded(self):
        def made(ssml, codec):
            reply = self.instance.speech_json("/colud/tts/text2voice.php", synthesis_form(ssml, codec=codec))
            return base64.b64decode(reply["data"])
        first = made('<speak>你好，<break time="1s"/>世界</speak>', "mp3")
        second = made("<speak>今天的天气非常好，我们一起去公园散步吧。</speak>", "wav")
        third = made("<speak>明天的天气也很好，你们一起去河边钓鱼吧。</speak>", "wav")
        # The start of a sentence made later must not be taken for that sentence.
        short = made("<speak>你好</speak>", "wav")
        longer = made("<speak>你好，世界</speak>", "wav")
        cases = [(first, "你好，世界"), (reencode(second), "今天的天气非常好，我们一起去公园散步吧。"),
                 (reencode(third), "明天的天气也很好，你们一起去河边钓鱼吧。"),
                 (reencode(short), "你好"), (reencode(longer), "你好，世界")]
        for audio, text in cases:
            with self.subTest(text=text):
                poll, _ = self.recognise(self.upload(audio)["data"]["url"], "16k_zh")
                self.assertEqual((poll["status"], poll["data"]), (2, text))
        other = self.upload(self.speech, "speech.wav")["data"]["url"]
        self.assertEqual(self.recognise(other, "16k_zh")[0]["status"], 3)
        missing = self.recognise(self.instance.urls["speechHttps"] + "/colud/ars/files/999.mp3", "16k_en")[0]
        self.assertEqual(missing["status"], 3)

    def test_bad_requests_get_a_code_other_than_200(self):
        self.assertEqual(self.upload(self.speech, signature="0" * 32)["code"], 401)
        body, headers = multipart([("timestamp", "1"), ("sign", sign("1"))], "a.mp3", b"x")
        self.assertEqual(self.instance.speech_json(UPLOAD, body, headers=headers)["code"], 400)
        url = self.upload(self.speech)["data"]["url"]
        cases = [
            "engineModelType=16k_en&channelNum=1&resTextFormat=0&sourceType=0&url=%s&sign=%s" % (url, sign(url + "x")),
            "engineModelType=8k_fr&channelNum=1&resTextFormat=0&sourceType=0&url=%s&sign=%s" % (url, sign(url)),
            "engineModelType=16k_en&url=%s&sign=%s" % (url, sign(url)),
            "engineModelType=16k_en&channelNum=one&resTextFormat=0&sourceType=0&url=%s&sign=%s" % (url, sign(url)),
            "engineModelType=16k_en&channelNum=1&resTextFormat=0&sourceType=1&url=%s&sign=%s" % (url, sign(url)),
        ]
        for form in cases:
            with self.subTest(form=form):
                self.assertNotEqual(self.instance.speech_json(TASK, form.encode())["code"], 200)
        self.assertEqual(self.instance.speech_json(TASK, b"taskId=12345")["code"], 404)


if __name__ == "__main__":
    unittest.main()
