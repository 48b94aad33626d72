"""A sheet of paper as the camera sees it flat: tint, grain, folds and a child's drawing made of
crayon strokes, colour fills, packaged stamps and colouring pages. Pictures are float32 RGB in
0...1 (sRGB values); sizes are fractions of the sheet's width so that any resolution looks alike."""

import cv2
import numpy as np

import materials

CRAYONS = np.array([
    [0.85, 0.10, 0.10], [0.95, 0.55, 0.05], [0.98, 0.85, 0.10], [0.15, 0.60, 0.15],
    [0.10, 0.35, 0.85], [0.45, 0.15, 0.65], [0.95, 0.45, 0.70], [0.45, 0.25, 0.10],
    [0.05, 0.05, 0.05], [0.50, 0.80, 0.95], [0.55, 0.85, 0.25], [0.60, 0.60, 0.60],
], dtype=np.float32)


def paper(rng, height, width, tint=None):
    """A blank sheet: white, cream or slightly grey, with fine grain and soft fibre clouds."""
    if tint is None:
        tint = rng.choice(["white", "white", "white", "cream", "grey"])
    if tint == "white":
        base = np.full(3, rng.uniform(0.92, 0.99))
    elif tint == "cream":
        base = np.array([0.97, rng.uniform(0.92, 0.95), rng.uniform(0.80, 0.88)])
    else:
        base = np.full(3, rng.uniform(0.84, 0.91)) + rng.uniform(-0.01, 0.01, 3)
    sheet = np.empty((height, width, 3), np.float32)
    sheet[:] = base
    grain = rng.normal(0, rng.uniform(0.004, 0.018), (height, width)).astype(np.float32)
    grain = cv2.GaussianBlur(grain, (0, 0), 0.7)
    clouds = rng.normal(0, 1, (max(2, height // 32), max(2, width // 32))).astype(np.float32)
    clouds = cv2.resize(cv2.GaussianBlur(clouds, (0, 0), 1.5), (width, height))
    sheet *= (1 + grain + 0.012 * clouds / (clouds.std() + 1e-6))[..., None]
    if rng.random() < 0.2:
        fold(rng, sheet)
    return sheet


def fold(rng, sheet):
    """A crease across the sheet: a faint light and dark line pair."""
    h, w = sheet.shape[:2]
    if rng.random() < 0.5:
        a, b = (rng.uniform(0.3, 0.7) * w, 0), (rng.uniform(0.3, 0.7) * w, h)
    else:
        a, b = (0, rng.uniform(0.3, 0.7) * h), (w, rng.uniform(0.3, 0.7) * h)
    line = np.zeros((h, w), np.float32)
    cv2.line(line, tuple(map(int, a)), tuple(map(int, b)), 1.0, max(1, w // 300), cv2.LINE_AA)
    shade = cv2.GaussianBlur(line, (0, 0), max(1.0, w / 150))
    sheet *= (1 - rng.uniform(0.02, 0.06) * shade / (shade.max() + 1e-6))[..., None]


def _crayon(rng, sheet, mask, colour, strength):
    """Lays a colour on the sheet where mask is set, darkening like wax or ink does."""
    h, w = mask.shape
    speckle = rng.random((h, w), dtype=np.float32)
    texture = np.clip((speckle - rng.uniform(0.0, 0.35)) * 3, 0, 1)
    a = (mask * texture * strength)[..., None]
    sheet *= 1 - a + a * colour


def _path(rng, w, h, points):
    start = rng.uniform([0, 0], [w, h])
    steps = rng.normal(0, 0.08 * w, (points, 2)).cumsum(axis=0)
    return np.clip(start + steps, [-0.05 * w, -0.05 * h], [1.05 * w, 1.05 * h])


def strokes(rng, sheet, count):
    h, w = sheet.shape[:2]
    for _ in range(count):
        mask = np.zeros((h, w), np.float32)
        pts = _path(rng, w, h, rng.integers(3, 12)).astype(np.int32)
        width = max(1, int(w * rng.uniform(0.003, 0.02)))
        cv2.polylines(mask, [pts], False, 1.0, width, cv2.LINE_AA)
        _crayon(rng, sheet, mask, CRAYONS[rng.integers(len(CRAYONS))], rng.uniform(0.6, 1.0))


def blob(rng, w, h, radius):
    centre = rng.uniform([0, 0], [w, h])
    angles = np.linspace(0, 2 * np.pi, 24, endpoint=False)
    radii = radius * np.exp(np.convolve(np.tile(rng.normal(0, 0.35, 24), 3), np.ones(5) / 5,
                                        "same")[24:48])
    return (centre + np.stack([np.cos(angles), np.sin(angles)], 1) * radii[:, None]).astype(
        np.int32)


def fills(rng, sheet, count):
    """Coloured shapes, filled solid like a marker or hatched like a crayon."""
    h, w = sheet.shape[:2]
    for _ in range(count):
        mask = np.zeros((h, w), np.float32)
        cv2.fillPoly(mask, [blob(rng, w, h, w * rng.uniform(0.04, 0.25))], 1.0, cv2.LINE_AA)
        if rng.random() < 0.5:
            mask *= hatching(rng, h, w)
        _crayon(rng, sheet, mask, CRAYONS[rng.integers(len(CRAYONS))], rng.uniform(0.5, 0.95))


def hatching(rng, h, w):
    lines = np.zeros((h, w), np.float32)
    step = max(3, int(w * rng.uniform(0.006, 0.02)))
    angle = rng.uniform(0, np.pi)
    d = np.array([np.cos(angle), np.sin(angle)])
    n = np.array([-d[1], d[0]])
    for k in range(-(h + w) // step, (h + w) // step):
        p = n * k * step + np.array([w / 2, h / 2])
        a, b = p - d * (h + w), p + d * (h + w)
        cv2.line(lines, tuple(a.astype(int)), tuple(b.astype(int)), 1.0,
                 max(1, step // 2), cv2.LINE_AA)
    return lines


def bands(rng, sheet):
    """Sky along the top and ground along the bottom, running out to the sheet's edges."""
    h, w = sheet.shape[:2]
    for top in (True, False):
        if rng.random() < 0.6:
            depth = rng.uniform(0.06, 0.3) * h
            mask = np.zeros((h, w), np.float32)
            xs = np.linspace(-0.02 * w, 1.02 * w, 12)
            ys = depth + rng.normal(0, 0.03 * h, 12)
            edge = np.stack([xs, ys if top else h - ys], 1)
            corner = [[1.02 * w, -0.02 * h], [-0.02 * w, -0.02 * h]] if top else \
                [[1.02 * w, 1.02 * h], [-0.02 * w, 1.02 * h]]
            cv2.fillPoly(mask, [np.concatenate([edge, corner]).astype(np.int32)], 1.0)
            if rng.random() < 0.6:
                mask *= hatching(rng, h, w)
            colour = CRAYONS[rng.choice([4, 9])] if top else CRAYONS[rng.choice([3, 10, 7])]
            _crayon(rng, sheet, mask, colour, rng.uniform(0.6, 0.95))


def paste(rng, sheet, path, fraction, centre=None):
    """Pastes a packaged picture, scaled to a fraction of the sheet's width, as printed ink."""
    rgba = materials.load_rgba(path)
    h, w = sheet.shape[:2]
    ph, pw = rgba.shape[:2]
    scale = fraction * w / pw
    size = (max(2, int(pw * scale)), max(2, int(ph * scale)))
    if size[1] > 1.1 * h:
        size = (max(2, int(size[0] * h / size[1])), h)
    art = cv2.resize(rgba, size, interpolation=cv2.INTER_AREA)
    if rng.random() < 0.5:
        art = art[:, ::-1]
    cx, cy = centre if centre is not None else rng.uniform([0, 0], [w, h])
    x0, y0 = int(cx - size[0] / 2), int(cy - size[1] / 2)
    sx0, sy0 = max(0, -x0), max(0, -y0)
    x0, y0 = max(0, x0), max(0, y0)
    x1, y1 = min(w, x0 + size[0] - sx0), min(h, y0 + size[1] - sy0)
    if x1 <= x0 or y1 <= y0:
        return
    part = art[sy0:sy0 + y1 - y0, sx0:sx0 + x1 - x0]
    a = part[..., 3:4] * rng.uniform(0.8, 1.0)
    region = sheet[y0:y1, x0:x1]
    sheet[y0:y1, x0:x1] = region * (1 - a) + region * part[..., :3] * a


def frame(rng, sheet, surfaces):
    """A picture frame printed around the page, as on colouring pages: a band of a surface's texture
    or of one colour, shaded like mitred moulding, inside the margin of paper a printer leaves."""
    h, w = sheet.shape[:2]
    side = min(h, w)
    margin = rng.uniform(0.01, 0.06) * side
    width = rng.uniform(0.03, 0.16) * side
    xx = np.arange(w, dtype=np.float32)[None] + 0.5
    yy = np.arange(h, dtype=np.float32)[:, None] + 0.5
    across, down = np.minimum(xx, w - xx), np.minimum(yy, h - yy)
    depth = np.minimum(across, down) - margin
    band = np.clip(depth + 0.5, 0, 1) * np.clip(width - depth + 0.5, 0, 1)
    if rng.random() < 0.6:
        for _ in range(10):
            rgba = materials.load_rgba(str(surfaces[rng.integers(len(surfaces))][0]))
            if materials.usable_surface(rgba):
                break
        texture = rgba[..., :3]
        scale = rng.uniform(0.3, 1.5) * w / texture.shape[1]
        size = (max(2, int(texture.shape[1] * scale)), max(2, int(texture.shape[0] * scale)))
        texture = cv2.resize(texture, size, interpolation=cv2.INTER_AREA)
        reps = (-(-h // texture.shape[0]), -(-w // texture.shape[1]), 1)
        colour = np.tile(texture, reps)[:h, :w] * (rng.uniform(0.3, 0.8) / max(texture.mean(), 0.05))
    else:
        colour = np.broadcast_to(rng.uniform(0.1, 0.9, 3).astype(np.float32), (h, w, 3))
    # Each side of the moulding lit alike along its length, with ridges across it.
    shades = rng.uniform(0.6, 1.3, 4).astype(np.float32)
    nearest = np.where(across < down, np.where(xx < w / 2, 0, 1), np.where(yy < h / 2, 2, 3))
    ridges = 1 + rng.uniform(0, 0.3) * np.cos(2 * np.pi * rng.integers(1, 4) * depth / width
                                              + rng.uniform(0, 2 * np.pi))
    ink = np.clip(colour * (shades[nearest] * ridges)[..., None], 0, 1)
    sheet[:] = sheet * (1 - band[..., None]) + sheet * ink * band[..., None]


def child_art(rng, sheet, art, framed=0.0):
    """Draws on the sheet; art is one split's catalogue, framed the chance of a printed frame around
    the page. Returns the main packaged file used."""
    h, w = sheet.shape[:2]
    if framed and rng.random() < framed:
        frame(rng, sheet, art["surfaces"])
    style = rng.choice(["stamps", "starter", "strokes", "mixed", "painting", "sparse"],
                       p=[0.25, 0.15, 0.2, 0.25, 0.08, 0.07])
    main = str(rng.choice(art["stamps"]))
    if style in ("strokes", "mixed", "painting") and rng.random() < 0.5:
        bands(rng, sheet)
    if style == "painting":
        fills(rng, sheet, rng.integers(8, 20))
    if style in ("strokes", "mixed", "painting"):
        fills(rng, sheet, rng.integers(1, 6))
        strokes(rng, sheet, rng.integers(3, 15))
    if style == "sparse":
        strokes(rng, sheet, rng.integers(1, 3))
    if style == "starter" and art["starters"]:
        main = str(rng.choice(art["starters"]))
        paste(rng, sheet, main, rng.uniform(0.8, 1.0), (w / 2, h / 2))
        fills(rng, sheet, rng.integers(0, 5))
    if style in ("stamps", "mixed"):
        for k in range(rng.integers(1, 6)):
            path = main if k == 0 else str(rng.choice(art["stamps"]))
            paste(rng, sheet, path, rng.uniform(0.15, 0.7))
    return main
