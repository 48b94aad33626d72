#!/usr/bin/python3
"""Composes phone-like photos of a child's drawing on a sheet of paper, with the sheet's exact
corners, from surfaces and artwork that Debian packages ship. Each photo is a pure function of
its seed and its split's files: photos of the validation split use only validation files.

Writes <out>/<split>/NNNNNN.jpg and <out>/<split>/manifest.jsonl, one JSON line a photo:
file, kind, corners (top-left, top-right, bottom-right, bottom-left in pixels, origin at the
picture's top-left edge; null where no quad is expected), sheet (the sheet's corners even
then, for training a mask), surface, art and seed; <out>/big/val/ holds a few 12-megapixel
validation photos for timing, and <out>/split.json the files of each split."""

import argparse
import json
import multiprocessing
import os
import sys

import cv2
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import drawing  # noqa: E402
import materials  # noqa: E402
import scene  # noqa: E402

# Of every 300 photos: 240 sheets on surfaces by kind, 30 flatbed scans, 30 white-on-white.
KINDS = {"wood": 30, "stone": 30, "fabric": 25, "animal-print": 25, "wallpaper": 25,
         "patterned": 30, "cluttered": 25, "mat": 20, "table-edge": 15, "light-table": 15,
         "flatbed": 30, "white-on-white": 30}
SCHEDULE = np.random.default_rng(300).permutation(
    [kind for kind, n in KINDS.items() for _ in range(n)])
FORMATS = [(4, 3), (16, 9), (3, 2), (1, 1)]
# The share of training sheets printed with a frame around the page; validation sheets show only the
# packaged frames.
FRAMED = 0.08


def photo_seed(base, split, index):
    """The seed of a split's photo: the two splits never share one."""
    return base * 10_000_000 + (5_000_000 if split == "val" else 0) + index


def frame_size(rng, long_side):
    """(width, height): a phone's format either way up, long side in the given range."""
    w, h = FORMATS[rng.choice(len(FORMATS), p=[0.6, 0.25, 0.1, 0.05])]
    long_side = int(rng.uniform(*long_side))
    size = (long_side, int(round(long_side * h / w)))
    return size if rng.random() < 0.5 else size[::-1]


def lay_sheet(rng, picture, homography, sheet_size, art, tint=None, framed=0.0):
    """Draws the sheet with its drawing and shadow onto the picture; returns its corners and
    the main artwork's path."""
    height, width = picture.shape[:2]
    sw, sh = sheet_size
    table = np.array([[-sw / 2, -sh / 2], [sw / 2, -sh / 2], [sw / 2, sh / 2], [-sw / 2, sh / 2]])
    seen = scene.project(homography, table)
    span = np.linalg.norm(seen - np.roll(seen, 1, axis=0), axis=1).max()
    px_w = int(np.clip(span * 1.15 * sw / max(sw, sh), 64, 4000))
    px_h = int(round(px_w * sh / sw))
    sheet = drawing.paper(rng, px_h, px_w, tint)
    main = drawing.child_art(rng, sheet, art, framed)
    to_table = np.array([[sw / px_w, 0, -sw / 2], [0, sh / px_h, -sh / 2], [0, 0, 1]])
    warped = cv2.warpPerspective(sheet, scene.to_cv(homography @ to_table), (width, height),
                                 flags=cv2.INTER_AREA if span < px_w else cv2.INTER_LINEAR,
                                 borderMode=cv2.BORDER_REPLICATE)
    mask = np.zeros((height, width), np.float32)
    cv2.fillPoly(mask, [np.round((seen - 0.5) * 256).astype(np.int32)], 1.0, cv2.LINE_AA, 8)
    lift = rng.uniform(0.002, 0.012) * min(width, height)
    blur = lift * (rng.uniform(0.2, 0.6) if rng.random() < 0.4 else rng.uniform(1.0, 3.0))
    offset = np.float32([[1, 0, rng.normal(0, lift)], [0, 1, rng.normal(0, lift)]])
    shadow = cv2.GaussianBlur(cv2.warpAffine(mask, offset, (width, height)), (0, 0), blur)
    picture *= (1 - rng.uniform(0.15, 0.5) * shadow)[..., None]
    picture[:] = picture * (1 - mask[..., None]) + warped * mask[..., None]
    return seen, main


def light(rng, picture):
    """Fall-off, a gradient across the frame, a colour cast, and soft or hard shadows."""
    h, w = picture.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    cx, cy = rng.uniform(0.2, 0.8) * w, rng.uniform(0.2, 0.8) * h
    r2 = ((xx - cx) ** 2 + (yy - cy) ** 2) / (w * w + h * h)
    field = (1 - rng.uniform(0, 0.9) * r2) * (1 + rng.uniform(-0.3, 0.3) * (xx / w - 0.5)
                                               + rng.uniform(-0.3, 0.3) * (yy / h - 0.5))
    cast = 1 + rng.normal(0, 0.04, 3)
    picture *= field[..., None] * cast * rng.uniform(0.75, 1.1)
    for hard in (False, True):
        if rng.random() < (0.25 if hard else 0.4):
            mask = np.zeros((h, w), np.float32)
            if hard:
                corners = rng.uniform([-0.2 * w, -0.2 * h], [1.2 * w, 1.2 * h], (4, 2))
                cv2.fillPoly(mask, [cv2.convexHull(corners.astype(np.int32))], 1.0, cv2.LINE_AA)
                mask = cv2.GaussianBlur(mask, (0, 0), rng.uniform(0.5, 3))
            else:
                cv2.fillPoly(mask, [drawing.blob(rng, w, h, rng.uniform(0.15, 0.4) * w)], 1.0)
                mask = cv2.GaussianBlur(mask, (0, 0), rng.uniform(0.03, 0.1) * w)
            picture *= (1 - rng.uniform(0.15, 0.55) * mask)[..., None]


def camera_effects(rng, picture, scanner=False):
    """Defocus or shake, sensor noise and sharpening; returns 8-bit BGR for encoding."""
    h, w = picture.shape[:2]
    scale = max(h, w) / 1300
    sigma = rng.uniform(0, 1.4) * scale
    if sigma > 0.3:
        picture = cv2.GaussianBlur(picture, (0, 0), sigma)
    if not scanner and rng.random() < 0.1:
        length = max(3, int(rng.uniform(3, 9) * scale))
        kernel = np.zeros((length, length), np.float32)
        cv2.line(kernel, (0, int(rng.integers(length))), (length - 1, int(rng.integers(length))),
                 1.0)
        picture = cv2.filter2D(picture, -1, kernel / kernel.sum())
    shot = rng.uniform(0.0, 0.03 if not scanner else 0.006)
    noise = rng.normal(0, 1, picture.shape[:2]).astype(np.float32)[..., None]
    chroma = rng.normal(0, 0.3, picture.shape).astype(np.float32)
    picture = picture + shot * np.sqrt(np.clip(picture, 0, 1) + 0.02) * (noise + chroma)
    if rng.random() < 0.5:
        soft = cv2.GaussianBlur(picture, (0, 0), 1.5 * scale)
        picture = picture + rng.uniform(0.2, 0.8) * (picture - soft)
    gamma = rng.uniform(0.85, 1.15)
    picture = np.clip(picture, 0, 1) ** gamma
    return cv2.cvtColor((picture * 255 + 0.5).astype(np.uint8), cv2.COLOR_RGB2BGR)


def flatbed(rng, size, art, framed=0.0):
    """Paper filling the scanner's frame, at most a sliver of the lid at one side."""
    width, height = size
    sheet = drawing.paper(rng, height, width)
    main = drawing.child_art(rng, sheet, art, framed)
    grow, angle = rng.uniform(1.0, 1.03), rng.normal(0, 0.6)
    m = cv2.getRotationMatrix2D((width / 2, height / 2), angle, grow)
    if rng.random() < 0.3:
        m[int(rng.integers(2)), 2] += rng.choice([-1, 1]) * rng.uniform(0.005, 0.02) * width
    picture = np.empty_like(sheet)
    picture[:] = rng.uniform(0.1, 0.6)
    picture = cv2.warpAffine(sheet, m, size, dst=picture, borderMode=cv2.BORDER_TRANSPARENT)
    frame = np.array([[0, 0], [width, 0], [width, height], [0, height]], np.float64)
    corners = np.c_[frame, np.ones(4)] @ np.r_[m, [[0, 0, 1]]][:2].T
    picture *= rng.uniform(0.92, 1.05)
    return picture, corners, main


def compose(seed, split, kind, long_side=(1024, 1600)):
    """One photo: (JPEG bytes, manifest entry without the file name)."""
    rng = np.random.default_rng(seed)
    mats = materials.of_split(split)
    framed = FRAMED if split == "train" else 0.0
    size = frame_size(rng, long_side)
    sheet_size = scene.SHEETS[rng.choice(len(scene.SHEETS), p=scene.SHEET_WEIGHTS)]
    if rng.random() < 0.5:
        sheet_size = sheet_size[::-1]
    surface_path = ""
    if kind == "flatbed":
        picture, sheet_corners, art = flatbed(rng, size, mats, framed)
    else:
        homography = scene.camera(rng, *size, sheet_size)
        while homography is None:
            homography = scene.camera(rng, *size, sheet_size)
        texture_kind = kind if kind != "white-on-white" else "stone"
        picture, surface_path = scene.surface(rng, mats, texture_kind, homography, *size,
                                              sheet_size)
        tint = None
        if kind == "white-on-white":
            grey = picture.mean(axis=2, keepdims=True)
            level = rng.uniform(0.86, 0.97)
            picture = level + (grey - grey.mean()) * rng.uniform(0.02, 0.15) + \
                rng.normal(0, 0.005, 3).astype(np.float32)
            picture = picture.astype(np.float32)
            tint = "white"
        sheet_corners, art = lay_sheet(rng, picture, homography, sheet_size, mats, tint, framed)
        light(rng, picture)
    encoded = cv2.imencode(".jpg", camera_effects(rng, picture, kind == "flatbed"),
                           [cv2.IMWRITE_JPEG_QUALITY, int(rng.uniform(55, 96))])[1].tobytes()
    ordered = scene.order_corners(sheet_corners)
    rounded = [[round(float(x), 3), round(float(y), 3)] for x, y in ordered]
    sheet_expected = kind not in ("flatbed", "white-on-white")
    return encoded, {"kind": kind, "corners": rounded if sheet_expected else None,
                     "sheet": rounded, "surface": surface_path, "art": art, "seed": int(seed)}


def _job(task):
    cv2.setNumThreads(1)
    index, base, split, long_side = task
    kind = str(SCHEDULE[index % len(SCHEDULE)])
    data, entry = compose(photo_seed(base, split, index), split, kind, long_side)
    return index, data, entry


def write_split(out, split, count, base, workers, long_side):
    """Writes photos 0...count-1 of a split, keeping those an earlier run already wrote; the
    manifest grows in order as photos are done, so that it can be read at any time."""
    folder = os.path.join(out, split)
    os.makedirs(folder, exist_ok=True)
    manifest = os.path.join(folder, "manifest.jsonl")
    done = []
    if os.path.exists(manifest):
        with open(manifest) as f:
            for index, line in enumerate(f):
                if not line.endswith("\n"):
                    break
                entry = json.loads(line)
                if entry["seed"] != photo_seed(base, split, index) or not os.path.exists(
                        os.path.join(folder, entry["file"])):
                    break
                done.append(line)
    tasks = [(i, base, split, long_side) for i in range(len(done), count)]
    with open(manifest, "w") as f:
        f.writelines(done[:count])
        f.flush()
        with multiprocessing.Pool(workers) as pool:
            for index, data, entry in pool.imap(_job, tasks, chunksize=2):
                name = f"{index:06d}.jpg"
                with open(os.path.join(folder, name), "wb") as photo:
                    photo.write(data)
                f.write(json.dumps({"file": name, **entry}) + "\n")
                f.flush()
    print(f"{split}: {count} photos in {folder}", flush=True)


def write_split_record(out):
    record = {split: materials.of_split(split) for split in ("train", "val")}
    with open(os.path.join(out, "split.json"), "w") as f:
        json.dump(record, f, indent=1)


def check():
    """Same seed gives the same bytes, and no file serves both splits."""
    cv2.setNumThreads(1)
    train, val = materials.of_split("train"), materials.of_split("val")
    for name in train:
        both = set(map(str, train[name])) & set(map(str, val[name]))
        assert not both, f"{name} in both splits: {sorted(both)[:3]}"
        assert train[name] and val[name], f"{name}: a split has no files"
    for index, kind in enumerate(KINDS):
        seed = photo_seed(7, "val", index)
        first, entry = compose(seed, "val", kind)
        again, _ = compose(seed, "val", kind)
        assert first == again, f"seed {seed} ({kind}) composed two different photos"
        for path in (entry["surface"], entry["art"]):
            assert not path or materials.split_of(path) == "val", f"{path} is not validation"
    print("check passed: photos repeat by seed, splits share no file")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default="build/paper-photos")
    parser.add_argument("--train", type=int, default=9000, help="training photos")
    parser.add_argument("--val", type=int, default=900, help="validation photos")
    parser.add_argument("--big", type=int, default=12, help="12-megapixel validation photos")
    parser.add_argument("--train-side", type=int, nargs=2, default=[640, 1024],
                        help="long side range of training photos, which are seen small")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--workers", type=int, default=4)
    parser.add_argument("--check", action="store_true", help="test determinism and the split")
    args = parser.parse_args()
    if args.check:
        check()
        return
    os.makedirs(args.out, exist_ok=True)
    write_split_record(args.out)
    if args.val:
        write_split(args.out, "val", args.val, args.seed, args.workers, (1024, 1600))
    if args.big:
        write_split(os.path.join(args.out, "big"), "val", args.big, args.seed + 1, args.workers,
                    (4000, 4000))
    if args.train:
        write_split(args.out, "train", args.train, args.seed, args.workers, args.train_side)


if __name__ == "__main__":
    main()
