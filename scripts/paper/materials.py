"""The surfaces and drawings that paper photos are composed from, found in installed Debian
packages and split into training and validation by material, so that no file (nor a copy of it
under the same name in another package) is seen by both splits."""

import functools
import hashlib
import io
import re
import subprocess
import zipfile

import numpy as np
from PIL import Image

# Texture archives of games; their members are addressed as "<archive>:<member>".
TEXTURE_ARCHIVES = {
    "ufoai-textures": "/usr/share/games/ufoai/base/0textures.pk3",
    "nexuiz-textures": "/usr/share/games/nexuiz/data/textures.pk3",
    "openarena-081-textures": "/usr/share/games/openarena/baseoa/pak4-textures.pk3",
}
WALLPAPER_PACKAGES = ["mate-backgrounds", "ukui-wallpapers", "lomiri-wallpapers"]
ART_PACKAGES = ["tuxpaint-stamps-default", "tuxpaint-data"]
PACKAGES = list(TEXTURE_ARCHIVES) + WALLPAPER_PACKAGES + ART_PACKAGES

# Maps, effects and glowing parts of game textures that no table looks like.
SKIPPED_TEXTURE = re.compile(
    r"norm|bump|gloss|glow|_nm|_h\.|_s\.|sfx|light|lig_|sky|skies|nebula|flame|liquid|lava|water|"
    r"slime|portal|jump|flag|icon|sign|fx|alpha|anim|env/|blood|gib|meat|screen|shader|warn|"
    r"logo|font|decal|window|glass|fan|dpexplosion|tire|barrel|pipe|rail|vent|grate|grill|wire")

# Surface kinds by words in a texture's path, first match wins; the rest count as patterned.
KIND_WORDS = [
    ("wood", r"wood|plank|bark|crate|board|parquet|furniture|table|log\b|mossy_log|redwood"),
    ("stone", r"stone|rock|marble|granite|crete|cement|brick|cobble|slate|asphalt|plaster|sand|"
              r"dirt|ground|mud|gravel|stile|cliff|block|floor|terrain"),
    ("fabric", r"carpet|textil|cloth|fabric|rug|pants|shirt|skin|fur|leather|wool|sheep|curtain"),
]


def split_of(path):
    """'train' or 'val' by a stable hash of the file's name without digits and extension, so
    that a texture shipped by two games, or its numbered variants, fall on one side."""
    name = path.rsplit("/", 1)[-1].rsplit(".", 1)[0].lower()
    key = re.sub(r"[\d_\-]+$", "", name) or name
    return "train" if hashlib.sha1(key.encode()).digest()[0] < 192 else "val"


def installed_files(package):
    try:
        listing = subprocess.run(["dpkg", "-L", package], capture_output=True, text=True,
                                 check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return []
    return sorted(line for line in listing.splitlines()
                  if "/doc/" not in line and re.search(r"\.(png|jpe?g)$", line, re.I))


def surface_kind(path):
    lower = path.lower()
    for kind, words in KIND_WORDS:
        if re.search(words, lower):
            return kind
    return "patterned"


@functools.lru_cache(maxsize=1)
def catalogue():
    """{'surfaces': [(path, kind)], 'wallpapers': [path], 'stamps': [path], 'starters': [path]}
    over both splits, sorted, so that a seed picks the same files anywhere."""
    surfaces = []
    for archive in TEXTURE_ARCHIVES.values():
        try:
            members = zipfile.ZipFile(archive).namelist()
        except OSError:
            continue
        for member in sorted(members):
            if re.search(r"\.(jpe?g|tga|png)$", member, re.I) and not SKIPPED_TEXTURE.search(
                    member.lower()):
                surfaces.append((f"{archive}:{member}", surface_kind(member)))
    art = [p for package in ART_PACKAGES for p in installed_files(package)]
    for path in art:
        if "/templates/" in path:
            surfaces.append((path, surface_kind(path)))
    wallpapers = [p for package in WALLPAPER_PACKAGES for p in installed_files(package)]
    return {
        "surfaces": surfaces,
        "wallpapers": wallpapers,
        "stamps": [p for p in art if "/stamps/" in p],
        "starters": [p for p in art if "/starters/" in p and "-back." not in p],
    }


def of_split(split):
    """The catalogue restricted to one split's files."""
    result = {}
    for name, items in catalogue().items():
        result[name] = [item for item in items
                        if split_of(item[0] if isinstance(item, tuple) else item) == split]
    return result


def _read_bytes(path):
    if ".pk3:" in path:
        archive, member = path.split(":", 1)
        with zipfile.ZipFile(archive) as z:
            return z.read(member)
    with open(path, "rb") as f:
        return f.read()


@functools.lru_cache(maxsize=64)
def load_rgba(path):
    """The picture as float32 RGBA in 0...1 (sRGB values), alpha 1 where it has none."""
    with Image.open(io.BytesIO(_read_bytes(path))) as image:
        image.draft("RGB", (2400, 2400))
        rgba = np.asarray(image.convert("RGBA"), dtype=np.float32) / 255.0
    return rgba


def usable_surface(rgba):
    """A surface texture must be opaque, big enough and not nearly black or flat."""
    h, w = rgba.shape[:2]
    if min(h, w) < 64 or rgba[..., 3].mean() < 0.98:
        return False
    rgb = rgba[..., :3]
    return rgb.mean() > 0.06 and rgb.std() > 0.01
