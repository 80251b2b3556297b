"""Speech recognition of the stand-in. Audio it synthesised itself is answered
with the text that made it: found by the bytes' hash, or, after the client has
re-encoded it (resampled, converted to mp3), by the loudness envelope of the
decoded sound. Other English audio goes to pocketsphinx (the US English model);
anything else is not recognised (None)."""

import array
import hashlib
import math
import os
import tempfile
import threading
import wave

import processes

MODEL = "/usr/share/pocketsphinx/model/en-us"
RATE = 16000
WINDOW = RATE // 20          # 50 ms per envelope value
MAX_LAG = 8                  # windows of shift tried (encoder delay, padding)
MATCH = 0.92                 # correlation that counts as the same sound
REMEMBERED = 500             # envelopes kept per run


def envelope(pcm, rate):
    """Loudness (RMS) of mono 16-bit PCM per 50 ms."""
    samples = array.array("h")
    samples.frombytes(pcm[:len(pcm) - len(pcm) % 2])
    step = max(1, rate // 20)
    return [math.sqrt(sum(s * s for s in samples[i:i + step]) / step)
            for i in range(0, len(samples) - step + 1, step)]


def _correlation(a, b):
    # The shorter envelope is padded with silence: a recording that is only the
    # start of another (a short phrase against a longer sentence beginning with
    # it) must not count as the same sound.
    n = max(len(a), len(b))
    if min(len(a), len(b)) < 10:
        return 0.0
    a = list(a) + [0.0] * (n - len(a))
    b = list(b) + [0.0] * (n - len(b))
    ma, mb = sum(a) / n, sum(b) / n
    cov = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    va = sum((x - ma) ** 2 for x in a)
    vb = sum((y - mb) ** 2 for y in b)
    return cov / math.sqrt(va * vb) if va > 0 and vb > 0 else 0.0


def similar(a, b):
    """Whether two envelopes are the same sound, allowing a small shift."""
    if abs(len(a) - len(b)) > 2 * MAX_LAG:
        return False
    best = max(max(_correlation(a[lag:], b), _correlation(a, b[lag:])) for lag in range(MAX_LAG + 1))
    return best >= MATCH


class AudioMemory:
    """Texts of the audio the stand-in synthesised in this run."""

    def __init__(self):
        self._lock = threading.Lock()
        self._by_hash = {}
        self._envelopes = []  # (envelope, text), newest last

    def remember(self, audio, pcm, rate, text):
        shape = envelope(pcm, rate)
        with self._lock:
            self._by_hash[hashlib.sha256(audio).hexdigest()] = text
            self._envelopes.append((shape, text))
            del self._envelopes[:-REMEMBERED]

    def by_hash(self, audio):
        with self._lock:
            return self._by_hash.get(hashlib.sha256(audio).hexdigest())

    def by_sound(self, pcm):
        shape = envelope(pcm, RATE)
        with self._lock:
            candidates = list(reversed(self._envelopes))
        for known, text in candidates:
            if similar(shape, known):
                return text
        return None


def decode(audio, folder):
    """Any audio ffmpeg reads as 16 kHz mono 16-bit PCM."""
    source = os.path.join(folder, "upload.bin")
    with open(source, "wb") as f:
        f.write(audio)
    return processes.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-i", source, "-ar", str(RATE), "-ac", "1",
                          "-f", "s16le", "-c:a", "pcm_s16le", "-"], timeout=300)


def recognise_english(pcm, folder):
    # A little silence around the speech helps the recogniser find its start and end.
    path = os.path.join(folder, "speech.wav")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"\x00\x00" * (RATE * 3 // 10) + pcm + b"\x00\x00" * RATE)
    out = processes.run(["pocketsphinx_continuous", "-infile", path, "-hmm", os.path.join(MODEL, "en-us"),
                         "-lm", os.path.join(MODEL, "en-us.lm.bin"), "-dict", os.path.join(MODEL, "cmudict-en-us.dict"),
                         "-remove_noise", "no", "-logfn", "/dev/null"], timeout=600)
    words = " ".join(line.strip() for line in out.decode("utf-8", "replace").splitlines() if line.strip())
    return words or None


def recognise(audio, model, memory):
    """The recognised text (UTF-8 on the wire), or None."""
    text = memory.by_hash(audio)
    if text is not None:
        return text
    with tempfile.TemporaryDirectory(prefix="standin-asr-") as folder:
        pcm = decode(audio, folder)
        text = memory.by_sound(pcm)
        if text is None and model == "16k_en":
            text = recognise_english(pcm, folder)
    return text
