"""One phone-like photo of a sheet lying on a surface: the table plane seen through a pinhole
camera, the surface built in table coordinates (texture, animal print, mat, table edge, light
table, clutter), the sheet laid on it with its shadow, then light, blur, noise and the JPEG.
Image coordinates run from 0 at the left and top edges of the picture to its width and height."""

import cv2
import numpy as np

import materials

SHEETS = [(0.210, 0.297), (0.216, 0.279), (0.148, 0.210), (0.200, 0.200), (0.297, 0.420)]
SHEET_WEIGHTS = [0.45, 0.25, 0.1, 0.12, 0.08]


def order_corners(points):
    """Top-left, top-right, bottom-right, bottom-left as seen: clockwise on screen from the
    corner nearest the picture's top-left."""
    points = np.asarray(points, np.float64)
    centre = points.mean(axis=0)
    angles = np.arctan2(points[:, 1] - centre[1], points[:, 0] - centre[0])
    clockwise = points[np.argsort(angles)]
    start = int(np.argmin(clockwise.sum(axis=1)))
    return np.roll(clockwise, -start, axis=0)


def project(h, points):
    p = np.c_[np.asarray(points, np.float64), np.ones(len(points))] @ h.T
    return p[:, :2] / p[:, 2:3]


def to_cv(h):
    """A homography between continuous coordinates as one between pixel centres (OpenCV's)."""
    shift = np.array([[1, 0, 0.5], [0, 1, 0.5], [0, 0, 1.0]])
    back = np.array([[1, 0, -0.5], [0, 1, -0.5], [0, 0, 1.0]])
    return back @ h @ shift


def camera(rng, width, height, sheet_size):
    """Homography from the table plane (metres, sheet centred at the origin, unrotated) to the
    picture, with the sheet's corners inside the frame; None when no pose fits."""
    sw, sh = sheet_size
    corners = np.array([[-sw / 2, -sh / 2], [sw / 2, -sh / 2], [sw / 2, sh / 2], [-sw / 2, sh / 2]])
    diagonal = np.hypot(width, height)
    for _ in range(40):
        focal = diagonal / (2 * np.tan(np.radians(rng.uniform(66, 82)) / 2))
        tilt = np.radians(abs(rng.normal(0, 14)) if rng.random() < 0.9 else rng.uniform(20, 40))
        heading = rng.uniform(0, 2 * np.pi) if rng.random() < 0.15 else rng.normal(0, 0.12)
        heading += rng.choice([0, np.pi / 2, np.pi, -np.pi / 2], p=[0.55, 0.2, 0.05, 0.2])
        fill = rng.uniform(0.3, 0.95)
        distance = focal * max(sw, sh) / (fill * max(width, height))
        look = rng.normal(0, 0.12, 2) * np.array([sw, sh])
        forward = np.array([np.sin(heading), np.cos(heading), 0.0])
        view = np.sin(tilt) * forward - np.cos(tilt) * np.array([0, 0, 1.0])
        centre = np.array([look[0], look[1], 0.0]) - distance * view
        y_axis = -(forward - view * (forward @ view))
        y_axis /= np.linalg.norm(y_axis)
        x_axis = np.cross(y_axis, view)
        roll = rng.normal(0, 0.03)
        x_axis, y_axis = (np.cos(roll) * x_axis + np.sin(roll) * y_axis,
                          -np.sin(roll) * x_axis + np.cos(roll) * y_axis)
        rotation = np.stack([x_axis, y_axis, view])
        t = -rotation @ centre
        k = np.array([[focal, 0, width / 2], [0, focal, height / 2], [0, 0, 1]])
        homography = k @ np.c_[rotation[:, 0], rotation[:, 1], t]
        seen = project(homography, corners)
        margin = 0.01 * min(width, height)
        if (seen.min(axis=0) > margin).all() and (seen[:, 0] < width - margin).all() and \
                (seen[:, 1] < height - margin).all():
            return homography
    return None


def texture_for(rng, mats, kind):
    """A surface picture for a kind, brightness as a table might have, and its path."""
    pool = [p for p, k in mats["surfaces"] if k == kind] if kind in ("wood", "stone", "fabric") \
        else [p for p, _ in mats["surfaces"]]
    if kind == "wallpaper" or (kind == "patterned" and rng.random() < 0.25):
        pool = mats["wallpapers"]
    for _ in range(30):
        path = str(pool[rng.integers(len(pool))])
        rgba = materials.load_rgba(path)
        if materials.usable_surface(rgba):
            rgb = rgba[..., :3].copy()
            rgb *= rng.uniform(0.15, 0.75) / max(rgb.mean(), 0.05)
            return np.clip(rgb, 0, 1), path
    raise RuntimeError(f"no usable surface of kind {kind}")


def tile(texture, size, pixels_per_tile, rng, reflect=False):
    """Covers a canvas of size (w, h) with the texture, one copy every pixels_per_tile pixels."""
    scale = pixels_per_tile / texture.shape[1]
    angle = rng.uniform(0, 360) if not reflect else rng.choice([0, 90, 180, 270])
    m = cv2.getRotationMatrix2D((0, 0), angle, scale)
    m[:, 2] = rng.uniform(0, texture.shape[1], 2)
    small = cv2.resize(texture, None, fx=min(1, scale * 1.5), fy=min(1, scale * 1.5),
                       interpolation=cv2.INTER_AREA) if scale < 0.66 else texture
    m[:, :2] *= texture.shape[1] / small.shape[1]
    return cv2.warpAffine(small, m, size, flags=cv2.WARP_INVERSE_MAP | cv2.INTER_LINEAR,
                          borderMode=cv2.BORDER_REFLECT if reflect else cv2.BORDER_WRAP)


def animal_print(rng, canvas):
    """Leopard spots, zebra stripes or cow patches over the canvas, in the canvas's own hues."""
    h, w = canvas.shape[:2]
    style = rng.choice(["leopard", "zebra", "cow"])
    noise = cv2.resize(rng.normal(0, 1, (max(4, h // 24), max(4, w // 24))).astype(np.float32),
                       (w, h), interpolation=cv2.INTER_CUBIC)
    base = canvas.mean(axis=(0, 1))
    light = np.clip(base / max(base.max(), 1e-3) * rng.uniform(0.5, 0.9), 0.05, 1)
    dark = light * rng.uniform(0.05, 0.3)
    if style == "zebra":
        yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
        phase = (xx * np.cos(0.3) + yy) / (w * rng.uniform(0.015, 0.04)) + 2.5 * noise
        pattern = (np.sin(phase) > 0.1).astype(np.float32)
        light = np.full(3, rng.uniform(0.6, 0.9))
    else:
        spots = cv2.resize(rng.normal(0, 1, (max(4, h // (12 if style == "leopard" else 60)),
                                             max(4, w // (12 if style == "leopard" else 60))))
                           .astype(np.float32), (w, h), interpolation=cv2.INTER_CUBIC)
        pattern = (spots + 0.3 * noise > 1.0).astype(np.float32)
        if style == "leopard":
            pattern -= (spots + 0.3 * noise > 1.6).astype(np.float32) * 0.8
    pattern = cv2.GaussianBlur(pattern, (0, 0), 1.0)[..., None]
    fur = canvas / (canvas.mean(axis=(0, 1)) + 1e-3) * 0.25 + 0.75
    return np.clip((light * (1 - pattern) + dark * pattern) * fur, 0, 1)


def paint_rect(canvas, ppm, origin, centre, size, angle, fill, edge_dark=0.0):
    """Fills a rotated rectangle of the table (metres) on the canvas with a picture or colour."""
    h, w = canvas.shape[:2]
    c, s = np.cos(angle), np.sin(angle)
    half = np.array(size) / 2
    local = np.array([[-1, -1], [1, -1], [1, 1], [-1, 1]]) * half
    world = local @ np.array([[c, s], [-s, c]]) + centre
    pixels = (world - origin) * ppm
    mask = np.zeros((h, w), np.float32)
    cv2.fillPoly(mask, [np.round(pixels * 16).astype(np.int32)], 1.0, cv2.LINE_AA, 4)
    if edge_dark:
        shadow = cv2.GaussianBlur(mask, (0, 0), max(1.0, 0.004 * ppm))
        canvas *= (1 - edge_dark * shadow)[..., None]
    if np.ndim(fill) == 1:
        fill = np.broadcast_to(np.asarray(fill, np.float32), canvas.shape)
    canvas[:] = canvas * (1 - mask[..., None]) + fill * mask[..., None]
    return pixels


def surface(rng, mats, kind, homography, width, height, sheet_size):
    """The picture of the table alone and the path of its main texture."""
    inverse = np.linalg.inv(homography)
    frame = np.array([[0, 0], [width, 0], [width, height], [0, height]], np.float64)
    seen = project(inverse, frame)
    origin = seen.min(axis=0)
    extent = seen.max(axis=0) - origin
    ppm = min(2000 / extent.max(), np.hypot(width, height) / np.hypot(*sheet_size) * 1.2)
    size = (int(np.ceil(extent[0] * ppm)) + 2, int(np.ceil(extent[1] * ppm)) + 2)
    texture_kind = "fabric" if kind == "animal-print" else kind
    texture, path = texture_for(rng, mats, texture_kind if texture_kind in (
        "wood", "stone", "fabric", "wallpaper", "patterned") else
        rng.choice(["wood", "stone", "fabric", "patterned"]))
    wallpaper = "/backgrounds/" in path
    tile_m = rng.uniform(0.8, 2.0) * extent.max() if wallpaper else rng.uniform(0.25, 1.2)
    canvas = tile(texture, size, tile_m * ppm, rng, reflect=wallpaper)
    if kind == "animal-print":
        canvas = animal_print(rng, canvas)
    if kind == "table-edge":
        floor, _ = texture_for(rng, mats, rng.choice(["wood", "stone", "fabric", "patterned"]))
        floor = tile(floor * rng.uniform(0.3, 0.8), size, rng.uniform(0.3, 1.0) * ppm, rng)
        angle = rng.uniform(0, 2 * np.pi)
        normal = np.array([np.cos(angle), np.sin(angle)])
        gap = np.abs(np.array(sheet_size) / 2 @ np.abs(normal)) + rng.uniform(0.01, 0.2)
        yy, xx = np.mgrid[0:size[1], 0:size[0]].astype(np.float32)
        along = (xx / ppm + origin[0]) * normal[0] + (yy / ppm + origin[1]) * normal[1] - gap
        beyond = np.clip(along * ppm + 0.5, 0, 1)[..., None]
        lip = np.exp(-np.abs(along * ppm) / max(1.0, 0.003 * ppm))[..., None]
        canvas = canvas * (1 - beyond) + floor * beyond
        canvas *= 1 + rng.uniform(-0.4, 0.4) * lip
    if kind in ("mat", "light-table"):
        grow = rng.uniform(1.05, 1.6, 2) * np.array(sheet_size) + rng.uniform(0, 0.05, 2)
        centre = rng.normal(0, 0.03, 2)
        if kind == "light-table":
            paint_rect(canvas, ppm, origin, centre, grow + 0.06, rng.normal(0, 0.05),
                       np.full(3, rng.uniform(0.05, 0.5)), 0.3)
            fill = np.array([rng.uniform(0.9, 1.0), rng.uniform(0.93, 1.0), 1.0])
        elif rng.random() < 0.5:
            fill, _ = texture_for(rng, mats, rng.choice(["wood", "fabric", "patterned"]))
            fill = tile(fill, size, rng.uniform(0.2, 0.8) * ppm, rng)
        else:
            fill = rng.uniform(0.05, 0.7, 3)
        paint_rect(canvas, ppm, origin, centre, grow, rng.normal(0, 0.06), fill, 0.35)
    if kind == "cluttered":
        for _ in range(rng.integers(3, 9)):
            clutter(rng, mats, canvas, ppm, origin, extent, sheet_size)
    cv_map = to_cv(np.array([[ppm, 0, -origin[0] * ppm], [0, ppm, -origin[1] * ppm], [0, 0, 1]])
                   @ inverse)
    picture = cv2.warpPerspective(canvas, cv_map, (width, height),
                                  flags=cv2.WARP_INVERSE_MAP | cv2.INTER_LINEAR,
                                  borderMode=cv2.BORDER_REFLECT)
    return picture, path


def clutter(rng, mats, canvas, ppm, origin, extent, sheet_size):
    """A stamp or a coloured book lying on the table in view beside the sheet, never over it."""
    for _ in range(20):
        size = rng.uniform(0.05, 0.3, 2)
        centre = rng.uniform(origin, origin + extent)
        reach = np.array(sheet_size) / 2 + size / 2
        if (np.abs(centre) > reach).any():
            break
    else:
        return
    if rng.random() < 0.4:
        paint_rect(canvas, ppm, origin, centre, size, rng.uniform(0, np.pi),
                   rng.uniform(0.05, 0.8, 3), 0.4)
        return
    rgba = materials.load_rgba(str(rng.choice(mats["stamps"])))
    px = int(size[0] * ppm)
    art = cv2.resize(rgba, (max(2, px), max(2, int(px * rgba.shape[0] / rgba.shape[1]))),
                     interpolation=cv2.INTER_AREA)
    x0, y0 = ((centre - origin) * ppm).astype(int) - np.array(art.shape[1::-1]) // 2
    h, w = canvas.shape[:2]
    sx, sy = max(0, -x0), max(0, -y0)
    x1, y1 = min(w, x0 + art.shape[1]), min(h, y0 + art.shape[0])
    x0, y0 = max(0, x0), max(0, y0)
    if x1 > x0 and y1 > y0:
        part = art[sy:sy + y1 - y0, sx:sx + x1 - x0]
        a = part[..., 3:4]
        canvas[y0:y1, x0:x1] = canvas[y0:y1, x0:x1] * (1 - a) + part[..., :3] * 0.9 * a
