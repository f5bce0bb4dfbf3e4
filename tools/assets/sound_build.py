"""The sound side of the asset build: the sound effects and the music of the table's sound and music
rows, in groups that run side by side (all the effects; one group per piece; the music lists), their
second-run comparison and the effect reel for a person to listen to.

  data/se/<file>, data/se/list.txt                    the effects (16-bit mono 44100 Hz PCM WAV)
  data/music/<file>, <stem>-intro.ogg                 each piece's loop and intro (Ogg Vorbis)
  data/music/list.txt, data/music/listPre.txt         the loops and the intros by number
  RAW/music/musicNN.mid, musicNN-intro.mid            the MIDI the pieces were rendered from
"""

import filecmp
import os
import tempfile

import numpy as np

from assetlib import audio, files, header
from generators import music, sounds

EFFECTS = "sounds"
LISTS = "music-lists"


def effects(table):
    return sorted((s for s in table.sounds if s.kind == "sound"), key=lambda s: s.id)


def pieces(table):
    return sorted((s for s in table.sounds if s.kind == "music"), key=lambda s: s.id)


def group_names(table):
    return [EFFECTS] + [f"music-{p.id}" for p in pieces(table)] + [LISTS]


def constant(table, name):
    for key, value in table.constants:
        if key == name:
            return value
    return None


def length_constant(piece, part):
    """kMusic<Name>LoopMilliseconds or kMusic<Name>IntroMilliseconds."""
    return f"{piece.name}{part}Milliseconds"


def piece_of(table, name):
    number = int(name[len("music-") :])
    return next(p for p in pieces(table) if p.id == number)


def outputs(table, name, build, raw):
    se = os.path.join(build, "data", "se")
    folder = os.path.join(build, "data", "music")
    if name == EFFECTS:
        return [os.path.join(se, s.file) for s in effects(table)] + [os.path.join(se, "list.txt")]
    if name == LISTS:
        return [os.path.join(folder, "list.txt"), os.path.join(folder, "listPre.txt")]
    piece = piece_of(table, name)
    out = [os.path.join(folder, piece.file), os.path.join(raw, "music", f"music{piece.id:02d}.mid")]
    if music.has_intro(piece.id):
        out += [os.path.join(folder, music.intro_file(piece.file)),
                os.path.join(raw, "music", f"music{piece.id:02d}-intro.mid")]
    return out


def effect_list(table):
    return header.crlf([f"{s.file},{s.id}" for s in effects(table)])


def music_lists(table):
    loops = header.crlf([f"{p.file},{p.id}" for p in pieces(table)])
    intros = header.crlf([f"{music.intro_file(p.file)},{p.id}" for p in pieces(table) if music.has_intro(p.id)])
    return loops, intros


def run_effects(table, build):
    problems = []
    folder = os.path.join(build, "data", "se")
    seen = {}
    for sound in effects(table):
        if sound.id not in sounds.RECIPES:
            problems.append(f"{sound.file}: sound {sound.id} has no recipe in generators/sounds.py")
            continue
        samples = sounds.render(sound.id)
        problems += sounds.check(sound.id, samples, sound.file)
        data = audio.wav_bytes(samples)
        if data in seen:
            problems.append(f"{sound.file}: the same bytes as {seen[data]}")
        seen[data] = sound.file
        if not problems:
            files.write(os.path.join(folder, sound.file), data)
    if not problems:
        files.write(os.path.join(folder, "list.txt"), effect_list(table))
    return problems


def run_piece(table, build, raw, name):
    piece = piece_of(table, name)
    plan = music.compose(piece.id)[0]
    problems = []
    for part, length, present in (("Loop", plan.loop_samples, True), ("Intro", plan.intro_samples, music.has_intro(piece.id))):
        expected = constant(table, length_constant(piece, part))
        if present and expected != length * 1000 // music.RATE:
            problems.append(f"{piece.file}: the {part.lower()} lasts {length * 1000 // music.RATE} ms; the table's "
                            f"{length_constant(piece, part)} says {expected}")
        if not present and expected is not None:
            problems.append(f"{piece.file}: the table gives {length_constant(piece, part)} but the piece has no intro")
    if problems:
        return problems
    music.write(piece, os.path.join(build, "data", "music"), os.path.join(raw, "music"))
    return problems


def run_group(table, build, raw, name):
    """Makes one group; its files are touched afterwards, so that the build sees them up to date even when
    their bytes did not change."""
    reason = music.available() if name.startswith("music-") and name != LISTS else None
    if reason:
        return [f"music: {reason}"]
    if name == EFFECTS:
        problems = run_effects(table, build)
    elif name == LISTS:
        loops, intros = music_lists(table)
        files.write(os.path.join(build, "data", "music", "list.txt"), loops)
        files.write(os.path.join(build, "data", "music", "listPre.txt"), intros)
        problems = []
    else:
        problems = run_piece(table, build, raw, name)
    if not problems:
        for path in outputs(table, name, build, raw):
            if os.path.exists(path):
                os.utime(path)
    return problems


def run_all(table, build, raw):
    problems = []
    for name in group_names(table):
        problems += run_group(table, build, raw, name)
    return problems


def verify(table, build, raw):
    """Makes every sound again into a fresh folder: the WAV, MIDI and Ogg files and the lists must match
    the built ones byte for byte. The problems, one per file that differs."""
    with tempfile.TemporaryDirectory() as temporary:
        again_build, again_raw = os.path.join(temporary, "build"), os.path.join(temporary, "raw")
        problems = run_all(table, again_build, again_raw)
        if problems:
            return problems, 0
        count = 0
        for name in group_names(table):
            for first, second in zip(outputs(table, name, build, raw), outputs(table, name, again_build, again_raw)):
                count += 1
                if not os.path.exists(first) or not filecmp.cmp(first, second, shallow=False):
                    problems.append(f"{first}: a second run made different bytes")
        return problems, count


def reel(table, build, out):
    """se-reel.wav: every built effect in number order, each starting 0.5 s after the last one ended."""
    gap = np.zeros(audio.frames(0.5), dtype="<i2")
    parts = []
    for sound in effects(table):
        samples, rate = audio.read_wav(os.path.join(build, "data", "se", sound.file))
        parts += [samples[:, 0], gap]
    os.makedirs(out, exist_ok=True)
    files.write(os.path.join(out, "se-reel.wav"), audio.wav_bytes(np.concatenate(parts)))
