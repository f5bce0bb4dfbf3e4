"""The C++ header made from the table: a named constant per number, and descriptor arrays that the
validator and any code that walks every asset read."""

CHECK_NAMES = {"sprite": "kCheckSprite", "glyph": "kCheckGlyph", "ink": "kCheckInk", "seam": "kCheckSeam", "shadow": "kCheckShadow",
               "sweep": "kCheckSweep"}


def _c(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def cell_constant(image, cell):
    """The cell's name in code: kCell, the image's constant without kImage, the label in camel case."""
    words = "".join(word[:1].upper() + word[1:] for word in cell.label.split("-"))
    return "kCell" + image.name[len("kImage"):] + words


def header(table):
    out = [
        "#pragma once",
        "// Made by tools/assets/build_assets.py from tools/assets/assets.tsv at build time: change the table,",
        "// not this file. Every number of a picture, sound effect or piece of music that code names is here.",
        "",
        "#include <array>",
        "#include <cstdint>",
        "",
        "// Pictures of the image list.",
    ]
    for image in sorted(table.images, key=lambda i: i.id):
        if image.named:
            out.append(f"inline constexpr std::int32_t {image.name} = {image.id};")
    if table.constants:
        out += ["", "// Numbers that code counts from (a first picture of a range, a step)."]
        for name, value in table.constants:
            out.append(f"inline constexpr std::int32_t {name} = {value};")
    for kind, title in (("sound", "Sound effects"), ("music", "Music")):
        rows = [s for s in table.sounds if s.kind == kind]
        if rows:
            out += ["", f"// {title}."]
            for s in sorted(rows, key=lambda r: r.id):
                out.append(f"inline constexpr std::int32_t {s.name} = {s.id};")
    cells = []
    images = []
    named_cells = []
    for image in sorted(table.images, key=lambda i: i.id):
        first = len(cells)
        for c in image.cells:
            if image.named:
                named_cells.append(f"inline constexpr SCell {cell_constant(image, c)} = kCells[{len(cells)}];")
            cells.append(f"    {{{_c(c.label)}, {c.x}, {c.y}, {c.w}, {c.h}, '{c.draw}', ECheck::{CHECK_NAMES[c.check]}, "
                         f"{c.count}, {c.dx}, {c.dy}}},")
        images.append(f"    {{{image.id}, {_c(image.name)}, {_c(image.file)}, {image.w}, {image.h}, '{image.draw}', "
                      f"{'true' if image.x2 else 'false'}, {first}, {len(image.cells)}}},")

    def sound_rows(kind):
        return [f"    {{{s.id}, {_c(s.name)}, {_c(s.file)}}},"
                for s in sorted((s for s in table.sounds if s.kind == kind), key=lambda r: r.id)]

    sounds, music = sound_rows("sound"), sound_rows("music")
    out += [
        "",
        "namespace assets {",
        "",
        "// What the validator asks of a cell besides lying inside its picture.",
        "enum class ECheck : std::int32_t",
        "{",
        "    kCheckSprite, // ink with key all round it",
        "    kCheckGlyph,  // ink that may reach the cell's edge",
        "    kCheckInk,    // ink somewhere",
        "    kCheckSeam,   // ink, tiling without a seam",
        "    kCheckShadow, // a soft shadow",
        "    kCheckSweep,  // a sweep over the screen",
        "};",
        "",
        "// A cell of a sheet, repeated `count` times `dx`, `dy` apart. draw: 'K' keyed, 'A' additive.",
        "struct SCell",
        "{",
        "    const char* label;",
        "    std::int32_t x, y, width, height;",
        "    char draw;",
        "    ECheck check;",
        "    std::int32_t count, dx, dy;",
        "};",
        "",
        "// A picture: draw 'K' keyed on magenta, 'A' additive on black, 'O' opaque, 'Z' alpha (zga);",
        "// `companion`: number + 1 holds it at twice the size. Its cells are kCells[firstCell ...].",
        "struct SImage",
        "{",
        "    std::int32_t id;",
        "    const char* constant;",
        "    const char* file;",
        "    std::int32_t width, height;",
        "    char draw;",
        "    bool companion;",
        "    std::int32_t firstCell, cellCount;",
        "};",
        "",
        "// A sound effect or a piece of music.",
        "struct SSound",
        "{",
        "    std::int32_t id;",
        "    const char* constant;",
        "    const char* file;",
        "};",
        "",
        f"inline constexpr std::array<SCell, {len(cells)}> kCells{{{{",
        *cells,
        "}};",
        f"inline constexpr std::array<SImage, {len(images)}> kImages{{{{",
        *images,
        "}};",
        f"inline constexpr std::array<SSound, {len(sounds)}> kSoundEffects{{{{",
        *sounds,
        "}};",
        f"inline constexpr std::array<SSound, {len(music)}> kMusic{{{{",
        *music,
        "}};",
        "",
        "// The cells by name, so that code never restates a cell's place.",
        *named_cells,
        "",
        "} // namespace assets",
        "",
    ]
    return "\n".join(out)


def image_list(table):
    """data/image/list.txt: "file,number" per line, pictures and their companions by number."""
    lines = []
    for image in sorted(table.images, key=lambda i: i.id):
        lines.append(f"{image.file},{image.id}")
        if image.x2:
            lines.append(f"{image.companion_file},{image.id + 1}")
    return crlf(lines)


def image_list2():
    """data/image2/list2.txt: no picture is drawn from the second list."""
    return crlf(["// 予備の画像リスト（使用していません）"])


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp932")
