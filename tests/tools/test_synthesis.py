"""Speech stand-in: synthesis of hand-built forms, the long-text task and the catalogue."""

import base64
import unittest

from standin_harness import StandinTestCase, duration_of, synthesis_form

class SynthesisTest(StandinTestCase):
    def synthesize(self, ssml, https=True, **kw):
        reply = self.instance.speech_json("/colud/tts/text2voice.php", synthesis_form(ssml, **kw), https)
        self.assertEqual(reply["code"], 200, reply)
        self.assertIsInstance(reply["RequestId"], str)
        return base64.b64decode(reply["data"])

    def test_duration_grows_with_text_and_pauses(self):
        codec_cases = [("mp3", True), ("wav", False), ("pcm", True)]
        for codec, https in codec_cases:
            with self.subTest(codec=codec):
                short = duration_of(self.synthesize("<speak>你好</speak>", https, codec=codec), codec)
                longer = duration_of(self.synthesize("<speak>你好，今天的天气非常好，我们一起去公园散步吧。</speak>",
                                                     https, codec=codec), codec)
                paused = duration_of(self.synthesize(
                    '<speak>你好，今天的天气非常好，<break time="2s"/>我们一起去公园散步吧。</speak>'
                    '<speak><break time="1s"/>好</speak>', https, codec=codec), codec)
                self.assertGreater(short, 0.2)
                self.assertGreater(longer, short + 1.0)
                # The two pauses add three seconds; the extra piece adds one syllable.
                self.assertGreater(paused, longer + 3.0)
                self.assertLess(paused, longer + 4.5)

        wav = self.synthesize("<speak>hello</speak>", codec="wav", voice=100550000)
        self.assertEqual(wav[:4], b"RIFF")
        self.assertEqual(wav[8:12], b"WAVE")

    def test_speed_volume_and_pinyin_are_honoured(self):
        text = "<speak>我们一起去公园散步吧</speak>"
        slow = duration_of(self.synthesize(text, codec="pcm", speed=1), "pcm")
        fast = duration_of(self.synthesize(text, codec="pcm", speed=9), "pcm")
        self.assertGreater(slow, fast * 1.5)
        quiet = self.synthesize(text, codec="pcm", volume=1)
        loud = self.synthesize(text, codec="pcm", volume=9)
        peak = lambda pcm: max(abs(int.from_bytes(pcm[i:i + 2], "little", signed=True)) for i in range(0, len(pcm), 2))
        self.assertGreater(peak(loud), peak(quiet) * 1.5)
        marked = self.synthesize('<speak>重<phoneme alphabet="py" ph="chong2">重</phoneme>山</speak>', codec="pcm")
        plain = self.synthesize("<speak>重重山</speak>", codec="pcm")
        self.assertNotEqual(marked, plain)

    def test_bad_forms_get_a_code_other_than_200(self):
        good = synthesis_form("<speak>你好</speak>").decode()
        cases = [
            ("bad sign", good.replace("sign=", "sign=0")),
            ("missing codec", good.replace("&codec=mp3", "")),
            ("unescaped plus", synthesis_form("<speak>？？？</speak>").decode().replace("%2B", "+")),
            ("unescaped equals sign", good.replace("%3D", "=")),
            ("unescaped slash", synthesis_form("<speak>？？？</speak>").decode().replace("%2F", "/")),
            ("escape in lower case", good.replace("%3D", "%3d")),
            ("unknown voice", good.replace("voiceType=100510000", "voiceType=42")),
            ("unknown codec", good.replace("codec=mp3", "codec=ogg")),
            ("volume out of range", good.replace("volume=4", "volume=10")),
            ("unknown emotion", good.replace("emotion=neutral", "emotion=bored")),
            ("not SSML", synthesis_form("你好").decode()),
            ("unclosed markup", synthesis_form("<speak>你好<break time=\"1s\"</speak>").decode()),
        ]
        for name, form in cases:
            with self.subTest(name):
                reply = self.instance.speech_json("/colud/tts/text2voice.php", form.encode())
                self.assertNotEqual(reply["code"], 200)
                self.assertIn("msg", reply)
        self.assertEqual(self.instance.speech_json("/colud/tts/text2voice.php",
                                                   synthesis_form("<speak>？？？</speak>"))["code"], 200)

    def test_text_is_read_in_code_page_936_with_the_euro_sign(self):
        self.synthesize("<speak>价格是5€，不贵</speak>", codec="pcm")
        entry = self.instance.requests("/colud/tts/text2voice.php")[-1]
        self.assertEqual(entry["text"], "<speak>价格是5€，不贵</speak>")

    def test_long_text_task_runs_then_delivers(self):
        form = synthesis_form("<speak>第一段文字，</speak><speak>第二段文字。</speak>", codec="wav")
        created = self.instance.speech_json("/colud/tts/text2voiceTask.php", form)
        self.assertEqual(created["code"], 200)
        task_id = created["data"]
        self.assertIsInstance(task_id, str)
        statuses = []
        for _ in range(10):
            poll = self.instance.speech_json("/colud/tts/text2voiceTask.php", ("taskId=%s" % task_id).encode())
            self.assertEqual(poll["code"], 200)
            statuses.append(poll["status"])
            if poll["status"] == 2:
                break
        self.assertEqual(statuses, [1, 1, 2])
        self.assertTrue(poll["data"].startswith(self.instance.urls["speechHttps"] + "/"))
        status, audio = self.instance.fetch(poll["data"])
        self.assertEqual(status, 200)
        self.assertGreater(duration_of(audio, "wav"), 1.0)
        unknown = self.instance.speech_json("/colud/tts/text2voiceTask.php", b"taskId=nosuchtask")
        self.assertNotEqual(unknown["code"], 200)

    def test_catalogue_and_samples(self):
        categories = self.instance.speech_json("/colud/tts/voiceCategory.php")
        voices = self.instance.speech_json("/colud/tts/voiceList.php", https=False)
        emotions = self.instance.speech_json("/colud/tts/voiceEmotion.php")
        for reply in (categories, voices, emotions):
            self.assertEqual(reply["code"], 200)
        self.assertLessEqual(len(categories["data"]), 9)
        self.assertGreaterEqual(len(voices["data"]), 11)  # the client applies the eleventh at start
        ids = {c["id"] for c in categories["data"]}
        self.assertTrue(all(v["categoryId"] in ids for v in voices["data"]))
        self.assertTrue(any(v["isEmotion"] for v in voices["data"]))
        self.assertIn(100510000, {v["voiceType"] for v in voices["data"]})
        self.assertIn("neutral", {e["emotion"] for e in emotions["data"]})
        self.assertGreater(len(emotions["data"]), 2)
        voice = voices["data"][0]
        self.assertTrue(voice["avatar"].endswith(".png"))
        self.assertTrue(voice["mp3"].startswith(self.instance.urls["speechHttp"]))
        status, sample = self.instance.fetch(voice["mp3"])
        self.assertEqual(status, 200)
        self.assertGreater(duration_of(sample, "mp3"), 1.0)
        self.assertEqual(self.instance.count("/colud/tts/voiceList.php"), 1)


if __name__ == "__main__":
    unittest.main()
