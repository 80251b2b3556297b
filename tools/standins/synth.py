"""Speech synthesis of the stand-in: reads the SSML the client sends, speaks each
text run with espeak-ng, inserts the pauses exactly, and encodes the result with
ffmpeg as mp3, wav or pcm (16000 Hz, mono, 16-bit; pcm is raw little-endian)."""

import html
import os
import re
import tempfile
import wave

import processes

OUTPUT_RATE = 16000
CODECS = ("mp3", "wav", "pcm")
MAX_PAUSE_SECONDS = 600

TAG = re.compile(r'<(/?)([A-Za-z]+)((?:\s+[A-Za-z_:-]+\s*=\s*"[^"]*")*)\s*(/?)>')
ATTRIBUTE = re.compile(r'([A-Za-z_:-]+)\s*=\s*"([^"]*)"')
BREAK_TIME = re.compile(r'(\d+(?:\.\d+)?)(ms|s)')

# Effect of an emotion: (pitch offset, speed factor, amplitude factor).
EMOTION_EFFECTS = {
    "neutral": (0, 1.0, 1.0),
    "happy": (15, 1.1, 1.05),
    "sad": (-15, 0.85, 0.85),
    "angry": (5, 1.15, 1.2),
    "fear": (10, 1.2, 0.9),
}


class SsmlError(Exception):
    pass


def parse_ssml(text):
    """Returns the list of operations ("say", text) / ("pinyin", reading, character) /
    ("pause", seconds) of an SSML text made of <speak> pieces."""
    ops = []
    pos = 0
    in_speak = False
    phoneme = None  # (reading, collected content) while inside <phoneme>
    pieces = 0
    while pos < len(text):
        lt = text.find("<", pos)
        run = text[pos:] if lt < 0 else text[pos:lt]
        if run:
            if not in_speak:
                if run.strip():
                    raise SsmlError("text outside <speak>: %r" % run[:40])
            elif phoneme is not None:
                phoneme[1].append(html.unescape(run))
            else:
                ops.append(("say", html.unescape(run)))
        if lt < 0:
            break
        match = TAG.match(text, lt)
        if not match:
            raise SsmlError("malformed markup at character %d: %r" % (lt, text[lt:lt + 30]))
        closing, name, attrs, self_closing = match.group(1), match.group(2), match.group(3), match.group(4)
        attributes = dict(ATTRIBUTE.findall(attrs))
        if name == "speak" and not self_closing:
            if closing:
                if not in_speak or phoneme is not None:
                    raise SsmlError("</speak> without <speak>")
                in_speak = False
            else:
                if in_speak:
                    raise SsmlError("nested <speak>")
                in_speak = True
                pieces += 1
        elif name == "break" and self_closing and not closing and in_speak and phoneme is None:
            time = BREAK_TIME.fullmatch(attributes.get("time", ""))
            if not time:
                raise SsmlError("break without a valid time: %r" % match.group(0))
            seconds = float(time.group(1)) / (1000.0 if time.group(2) == "ms" else 1.0)
            ops.append(("pause", seconds))
        elif name == "phoneme" and in_speak and not self_closing:
            if closing:
                if phoneme is None:
                    raise SsmlError("</phoneme> without <phoneme>")
                ops.append(("pinyin", phoneme[0], "".join(phoneme[1])))
                phoneme = None
            else:
                if phoneme is not None:
                    raise SsmlError("nested <phoneme>")
                if attributes.get("alphabet") != "py" or not attributes.get("ph", "").strip():
                    raise SsmlError("phoneme needs alphabet=\"py\" and a ph reading: %r" % match.group(0))
                phoneme = (attributes["ph"], [])
        else:
            raise SsmlError("unexpected markup %r" % match.group(0))
        pos = match.end()
    if in_speak or phoneme is not None:
        raise SsmlError("unclosed <speak> or <phoneme>")
    if pieces == 0:
        raise SsmlError("no <speak> element")
    if sum(op[1] for op in ops if op[0] == "pause") > MAX_PAUSE_SECONDS:
        raise SsmlError("pauses longer than %d seconds" % MAX_PAUSE_SECONDS)
    if not any(op[0] != "pause" and op[1].strip() for op in ops):
        raise SsmlError("nothing to say")
    return ops


def spoken_text(ops):
    """The plain text that the operations speak (for answering recognition of our own audio)."""
    return "".join(op[1] if op[0] == "say" else op[2] for op in ops if op[0] != "pause")


class Voice:
    """How one catalogue voice is spoken: espeak-ng voice and variant, base pitch, language."""

    def __init__(self, espeak, variant, pitch, word_gap=0):
        self.espeak = espeak
        self.variant = variant
        self.pitch = pitch
        self.word_gap = word_gap

    def name(self, pinyin=False):
        base = "cmn-latn-pinyin" if pinyin else self.espeak
        return "%s+%s" % (base, self.variant) if self.variant else base


def _espeak(voice, text, pinyin, speed, volume, emotion, path):
    pitch_offset, speed_factor, amp_factor = EMOTION_EFFECTS.get(emotion, EMOTION_EFFECTS["neutral"])
    words_per_minute = int((100 + 20 * speed) * speed_factor)
    amplitude = min(200, int((40 + 15 * volume) * amp_factor))
    pitch = max(0, min(99, voice.pitch + pitch_offset))
    processes.run(["espeak-ng", "-b", "1", "-v", voice.name(pinyin), "-s", str(words_per_minute),
                   "-a", str(amplitude), "-p", str(pitch), "-g", str(voice.word_gap), "-w", path, "--stdin"],
                  input_bytes=text.encode("utf-8"), timeout=120)
    with wave.open(path, "rb") as w:
        if w.getnchannels() != 1 or w.getsampwidth() != 2:
            raise processes.ToolError("espeak-ng wrote an unexpected format")
        return w.getframerate(), w.readframes(w.getnframes())


def encode(pcm, rate, codec, folder):
    """Encodes mono 16-bit PCM at rate into the codec at 16000 Hz."""
    source = os.path.join(folder, "speech.raw")
    with open(source, "wb") as f:
        f.write(pcm)
    target = os.path.join(folder, "out." + codec)
    fmt = {"mp3": ["-f", "mp3", "-b:a", "64k"], "wav": ["-f", "wav", "-c:a", "pcm_s16le"],
           "pcm": ["-f", "s16le", "-c:a", "pcm_s16le"]}[codec]
    processes.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "s16le", "-ar", str(rate), "-ac", "1",
                   "-i", source, "-ar", str(OUTPUT_RATE), "-ac", "1", *fmt, target], timeout=300)
    with open(target, "rb") as f:
        return f.read()


def synthesize(ops, voice, speed, volume, emotion, codec):
    """Speaks the operations; returns the encoded audio, and the PCM it was made
    from with its rate."""
    with tempfile.TemporaryDirectory(prefix="standin-tts-") as folder:
        rate = None
        chunks = []
        pending_pause = 0.0
        for index, op in enumerate(ops):
            if op[0] == "pause":
                pending_pause += op[1]
                continue
            words = op[1]
            if not words.strip():
                continue
            run_rate, frames = _espeak(voice, words, op[0] == "pinyin", speed, volume, emotion,
                                       os.path.join(folder, "run%d.wav" % index))
            rate = rate or run_rate
            chunks.append(b"\x00\x00" * int(round(pending_pause * rate)))
            pending_pause = 0.0
            chunks.append(frames)
        chunks.append(b"\x00\x00" * int(round(pending_pause * rate)))
        pcm = b"".join(chunks)
        return encode(pcm, rate, codec, folder), pcm, rate
