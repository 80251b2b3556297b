"""Speech recognition of the stand-in: audio it synthesised itself is answered
with the text that produced it; other English audio goes to pocketsphinx (the
US English model); anything else is not recognised (None)."""

import hashlib
import os
import tempfile

import processes

MODEL = "/usr/share/pocketsphinx/model/en-us"


def decode_to_wav(audio, folder):
    """Decodes any audio ffmpeg reads into 16 kHz mono 16-bit WAV with a little
    silence around it (the recogniser's start and end detection needs it)."""
    source = os.path.join(folder, "upload.bin")
    target = os.path.join(folder, "speech.wav")
    with open(source, "wb") as f:
        f.write(audio)
    processes.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", source,
                   "-af", "adelay=300:all=1,apad=pad_dur=1", "-ar", "16000", "-ac", "1",
                   "-c:a", "pcm_s16le", target], timeout=300)
    return target


def recognise_english(audio):
    with tempfile.TemporaryDirectory(prefix="standin-asr-") as folder:
        wav = decode_to_wav(audio, folder)
        out = processes.run(["pocketsphinx_continuous", "-infile", wav, "-hmm", os.path.join(MODEL, "en-us"),
                             "-lm", os.path.join(MODEL, "en-us.lm.bin"), "-dict",
                             os.path.join(MODEL, "cmudict-en-us.dict"), "-remove_noise", "no",
                             "-logfn", "/dev/null"], timeout=600)
    words = " ".join(line.strip() for line in out.decode("utf-8", "replace").splitlines() if line.strip())
    return words or None


def recognise(audio, model, known_text):
    """The recognised text (UTF-8 on the wire), or None."""
    text = known_text(hashlib.sha256(audio).hexdigest())
    if text is not None:
        return text
    if model == "16k_en":
        return recognise_english(audio)
    return None
