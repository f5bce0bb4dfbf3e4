#!/usr/bin/python3
"""The asset build. Every picture comes from code in generators/, driven by assets.tsv.

  build_assets.py groups  TABLE                 the generator groups and the files each writes (for CMake)
  build_assets.py header  TABLE OUT.h           the C++ header of constants and descriptors
  build_assets.py lists   TABLE BUILD           data/image/list.txt and data/image2/list2.txt under BUILD
  build_assets.py group   TABLE BUILD RAW NAME  the pictures of one generator group, checked, into
                                                BUILD/data/image (zga pictures as raw RGBA into RAW)
  build_assets.py all     TABLE BUILD RAW       every group, then the lists
  build_assets.py verify  TABLE BUILD RAW       a second run into a temporary folder matches byte for byte
  build_assets.py preview TABLE BUILD OUT       contact-sheet.png and screens.png into OUT

  build_assets.py sound-groups  TABLE                 the sound groups and the files each writes (for CMake)
  build_assets.py sound-group   TABLE BUILD RAW NAME  the effects, one piece of music or the music lists
  build_assets.py sound-verify  TABLE BUILD RAW       a second run of every sound matches byte for byte
  build_assets.py sound-reel    TABLE BUILD OUT       se-reel.wav into OUT: every effect, 0.5 s apart

Run with the system interpreter (/usr/bin/python3), which has Debian's Pillow and NumPy.
"""

import filecmp
import importlib
import os
import sys
import tempfile

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from assetlib import checks, files, header, table as table_module  # noqa: E402


def groups(table):
    """Generator group name -> its images, in table order."""
    out = {}
    for image in table.images:
        out.setdefault(group_name(image), []).append(image)
    return out


def group_name(image):
    return image.generator.replace(":", "-")


def outputs(image, build, raw):
    """The files one image row writes."""
    names = [image.file] + ([image.companion_file] if image.x2 else [])
    if image.draw == "Z":
        return [os.path.join(raw, n[: -len(".zga")] + ".rgba") for n in names]
    return [os.path.join(build, "data", "image", n) for n in names]


def generate(image):
    module = importlib.import_module("generators." + image.module)
    return module.make(image, image.argument)


def run_group(table, build, raw, name):
    problems = []
    for image in groups(table)[name]:
        array = generate(image)
        # A generator that draws at the companion's size and reduces for 1x gives both pictures.
        companion = None
        if isinstance(array, tuple):
            array, companion = array
        targets = outputs(image, build, raw)
        if image.draw == "Z":
            problems += checks.check_alpha(image, array, image.file)
            data = [files.rgba_bytes(array)] + ([files.rgba_bytes(files.double(array))] if image.x2 else [])
        else:
            problems += checks.check_image(image, array, image.file)
            if companion is None and image.x2:
                companion = files.double(array)
            data = [files.bmp_bytes(array)] + ([files.bmp_bytes(companion)] if image.x2 else [])
        # A generator may check its own pictures further (the characters' sheets).
        own_checks = getattr(importlib.import_module("generators." + image.module), "problems", None)
        if own_checks:
            problems += own_checks(image, array)
        if not problems:
            for target, content in zip(targets, data):
                files.write(target, content)
    return problems


def write_lists(table, build):
    files.write(os.path.join(build, "data", "image", "list.txt"), header.image_list(table))
    files.write(os.path.join(build, "data", "image2", "list2.txt"), header.image_list2())


def run_all(table, build, raw):
    problems = []
    for name in groups(table):
        problems += run_group(table, build, raw, name)
    write_lists(table, build)
    return problems


def report(problems):
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print(f"The pictures were not built: {len(problems)} problem(s).", file=sys.stderr)
        return 1
    return 0


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    command, table_path = argv[1], argv[2]
    try:
        table = table_module.read(table_path)
    except table_module.TableError as error:
        print(error, file=sys.stderr)
        return 1
    if command == "groups":
        for name, images in groups(table).items():
            for image in images:
                for target in outputs(image, "@BUILD@", "@RAW@"):
                    print(f"{name}\t{target}")
        return 0
    if command == "header":
        files.write(argv[3], header.header(table).encode("utf-8"))
        return 0
    if command == "lists":
        write_lists(table, argv[3])
        return 0
    if command == "group":
        return report(run_group(table, argv[3], argv[4], argv[5]))
    if command == "all":
        return report(run_all(table, argv[3], argv[4]))
    if command == "verify":
        return verify(table, argv[3], argv[4])
    if command == "preview":
        import preview

        preview.write(table, argv[3], argv[4])
        return 0
    if command.startswith("sound-"):
        return sound_command(command, table, argv)
    print(__doc__, file=sys.stderr)
    return 2


def sound_command(command, table, argv):
    import sound_build

    if command == "sound-groups":
        for name in sound_build.group_names(table):
            for target in sound_build.outputs(table, name, "@BUILD@", "@RAW@"):
                print(f"{name}\t{target}")
        return 0
    if command == "sound-group":
        return report_sounds(sound_build.run_group(table, argv[3], argv[4], argv[5]))
    if command == "sound-verify":
        problems, count = sound_build.verify(table, argv[3], argv[4])
        print(f"{count - len(problems)} passed, {len(problems)} failed")
        return report_sounds(problems)
    if command == "sound-reel":
        sound_build.reel(table, argv[3], argv[4])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


def report_sounds(problems):
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print(f"The sounds were not built: {len(problems)} problem(s).", file=sys.stderr)
        return 1
    return 0


def verify(table, build, raw):
    """Runs every generator again into a fresh folder and compares each file with the built one."""
    with tempfile.TemporaryDirectory() as temporary:
        again_build, again_raw = os.path.join(temporary, "build"), os.path.join(temporary, "raw")
        if report(run_all(table, again_build, again_raw)):
            return 1
        different = []
        names = [os.path.join("data", "image", "list.txt"), os.path.join("data", "image2", "list2.txt")]
        for image in table.images:
            for first, second in zip(outputs(image, build, raw), outputs(image, again_build, again_raw)):
                if not os.path.exists(first) or not filecmp.cmp(first, second, shallow=False):
                    different.append(first)
        for name in names:
            if not filecmp.cmp(os.path.join(build, name), os.path.join(again_build, name), shallow=False):
                different.append(name)
        for name in different:
            print(f"{name}: a second run made different bytes", file=sys.stderr)
        count = sum(len(outputs(i, "", "")) for i in table.images) + len(names)
        print(f"{count - len(different)} passed, {len(different)} failed")
        return 1 if different else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
