#!/usr/bin/python3
"""Trains the paper detector's segmentation network on composed photos (compose_photos.py) and
exports it as ONNX for OpenCV's dnn module: input "image" 1x3xSxS RGB in 0...1, the working copy
stretched to the square with area averaging; output "mask" 1x1xSxS logits, positive on paper."""

import argparse
import json
import os
import time

# Threads that wait by spinning slow training tenfold on a machine shared with other work.
os.environ.setdefault("OMP_WAIT_POLICY", "PASSIVE")

import cv2
import numpy as np
import torch
from torch import nn

import export_detector

WORKING_SIDE = 1024


def conv(cin, cout, stride=1):
    return nn.Sequential(nn.Conv2d(cin, cout, 3, stride, padding=1, bias=False),
                         nn.BatchNorm2d(cout), nn.ReLU(inplace=True))


class PaperNet(nn.Module):
    """A small U-Net working at half the input's size: a strided first convolution, a halving
    before each further width, skips joined by addition, and the logits enlarged to the input's
    size at the end."""

    def __init__(self, widths):
        super().__init__()
        stem = nn.Sequential(conv(3, widths[0], 2), conv(widths[0], widths[0]))
        self.down = nn.ModuleList([stem])
        for cin, cout in zip(widths, widths[1:]):
            self.down.append(nn.Sequential(nn.MaxPool2d(2), conv(cin, cout), conv(cout, cout)))
        self.up = nn.ModuleList()
        for wide, narrow in zip(widths[:0:-1], widths[-2::-1]):
            self.up.append(nn.ModuleDict({"reduce": conv(wide, narrow),
                                          "merge": nn.Sequential(conv(narrow, narrow),
                                                                 conv(narrow, narrow))}))
        self.grow = nn.Upsample(scale_factor=2, mode="bilinear", align_corners=False)
        self.head = nn.Conv2d(widths[0], 1, 1)

    def forward(self, x):
        skips = []
        for level in self.down:
            x = level(x)
            skips.append(x)
        for stage, skip in zip(self.up, skips[-2::-1]):
            x = stage["merge"](self.grow(stage["reduce"](x)) + skip)
        return self.grow(self.head(x))


def network_input(bgr, size):
    """What the detector feeds the network: the working copy stretched to size x size, RGB."""
    h, w = bgr.shape[:2]
    scale = min(1.0, WORKING_SIDE / max(h, w))
    if scale < 1:
        bgr = cv2.resize(bgr, (round(w * scale), round(h * scale)), interpolation=cv2.INTER_AREA)
    return cv2.cvtColor(cv2.resize(bgr, (size, size), interpolation=cv2.INTER_AREA),
                        cv2.COLOR_BGR2RGB)


class Photos:
    """Network inputs (N,S,S,3 uint8), sheet masks (N,S,S uint8, 0...255) and kinds of the photos
    in a manifest; update() takes in photos added to it since, as the composer writes them."""

    def __init__(self, folder, size):
        self.folder, self.size = folder, size
        self.images = np.empty((0, size, size, 3), np.uint8)
        self.masks = np.empty((0, size, size), np.uint8)
        self.kinds = []
        self.read = 0  # manifest lines of this folder taken in
        self.update()

    def update(self):
        with open(os.path.join(self.folder, "manifest.jsonl")) as f:
            entries = [json.loads(line) for line in f if line.endswith("\n")][self.read:]
        self.read += len(entries)
        size = self.size
        images = np.empty((len(entries), size, size, 3), np.uint8)
        masks = np.zeros((len(entries), size, size), np.uint8)
        for i, entry in enumerate(entries):
            bgr = cv2.imread(os.path.join(self.folder, entry["file"]))
            images[i] = network_input(bgr, size)
            h, w = bgr.shape[:2]
            corners = np.array(entry["sheet"]) * [size / w, size / h] - 0.5
            cv2.fillPoly(masks[i], [np.round(corners * 256).astype(np.int32)], 255, cv2.LINE_AA, 8)
        self.images = np.concatenate([self.images, images])
        self.masks = np.concatenate([self.masks, masks])
        self.kinds += [entry["kind"] for entry in entries]

    def join(self, other):
        """Takes in another folder's photos once; update() then reads only this folder's newer ones."""
        self.images = np.concatenate([other.images, self.images])
        self.masks = np.concatenate([other.masks, self.masks])
        self.kinds = other.kinds + self.kinds


def augment(rng, images, masks):
    """Flips and quarter turns, brightness, contrast, colour cast and gamma, as float tensors."""
    x = images.astype(np.float32) / 255
    y = masks.astype(np.float32) / 255
    if rng.random() < 0.5:
        x, y = x[:, :, ::-1], y[:, :, ::-1]
    if rng.random() < 0.3:
        x, y = x[:, ::-1], y[:, ::-1]
    if rng.random() < 0.3:
        x, y = np.rot90(x, axes=(1, 2)), np.rot90(y, axes=(1, 2))
    n = len(x)
    gain = rng.uniform(0.7, 1.25, (n, 1, 1, 1)) * rng.uniform(0.92, 1.08, (n, 1, 1, 3))
    mean = x.mean(axis=(1, 2, 3), keepdims=True)
    x = (x - mean) * rng.uniform(0.75, 1.25, (n, 1, 1, 1)) + mean
    x = (np.clip(x * gain, 0, 1) ** rng.uniform(0.8, 1.25, (n, 1, 1, 1))).astype(np.float32)
    x = torch.from_numpy(np.ascontiguousarray(x.transpose(0, 3, 1, 2)))
    return x, torch.from_numpy(np.ascontiguousarray(y[:, None]))


def plain_sheets(rng, count, size):
    """Noise-free pictures of a light sheet on an even darker ground, as a scan or a screenshot shows one:
    the sheet any convex four-sided shape, drawn four times finer and area-averaged like the input."""
    images = np.empty((count, size, size, 3), np.uint8)
    masks = np.empty((count, size, size), np.uint8)
    fine = 4 * size
    for i in range(count):
        ground = rng.uniform(0, 170, 3)
        picture = np.empty((fine, fine, 3), np.uint8)
        picture[:] = ground
        mask = np.zeros((fine, fine), np.uint8)
        centre = rng.uniform(0.3, 0.7, 2) * fine
        side = rng.uniform(0.12, 0.45) * fine
        corners = centre + np.array([[-1, -1], [1, -1], [1, 1], [-1, 1]]) * side * rng.uniform(0.4, 1.0, 2)
        corners = corners + rng.normal(0, 0.12 * side, (4, 2))
        shear = rng.uniform(-0.8, 0.8) if rng.random() < 0.3 else 0
        corners[:, 0] += shear * (corners[:, 1] - centre[1])
        hull = cv2.convexHull(np.round(corners * 16).astype(np.int32))
        if len(hull) == 4:
            cv2.fillConvexPoly(picture, hull, rng.uniform(225, 255, 3).tolist(), cv2.LINE_AA, 4)
            cv2.fillConvexPoly(mask, hull, 255, cv2.LINE_AA, 4)
        images[i] = cv2.resize(picture, (size, size), interpolation=cv2.INTER_AREA)
        masks[i] = cv2.resize(mask, (size, size), interpolation=cv2.INTER_AREA)
    return images, masks


def drawing_chances(kinds, balance):
    """The chance of drawing each photo, in proportion to its kind's count to the power -balance."""
    counts = {k: n for k, n in zip(*np.unique(kinds, return_counts=True))}
    weights = np.array([float(counts[k]) ** -balance for k in kinds])
    return weights / weights.sum()


def loss_of(logits, target):
    bce = nn.functional.binary_cross_entropy_with_logits(logits, target)
    p = torch.sigmoid(logits)
    overlap = (p * target).sum((1, 2, 3))
    dice = 1 - (2 * overlap + 1) / (p.sum((1, 2, 3)) + target.sum((1, 2, 3)) + 1)
    return bce + dice.mean()


def evaluate(model, photos):
    """Mean intersection over union of the thresholded mask, by kind and over sheets."""
    images, masks, kinds = photos.images, photos.masks, photos.kinds
    model.eval()
    ious = []
    with torch.no_grad():
        for start in range(0, len(images), 64):
            x = torch.from_numpy(images[start:start + 64].astype(np.float32).transpose(0, 3, 1, 2)
                                 / 255)
            found = model(x)[:, 0].numpy() > 0
            truth = masks[start:start + 64] >= 128
            inter = (found & truth).sum((1, 2))
            union = (found | truth).sum((1, 2))
            ious.extend(inter / np.maximum(union, 1))
    model.train()
    ious = np.array(ious)
    by_kind = {k: float(ious[[i for i, q in enumerate(kinds) if q == k]].mean())
               for k in sorted(set(kinds))}
    sheets = [i for i, k in enumerate(kinds) if k not in ("flatbed", "white-on-white")]
    return float(ious[sheets].mean()), by_kind


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--photos", default="build/paper-photos")
    parser.add_argument("--also", nargs="*", default=[],
                        help="further folders of training photos, such as the project's generated scenes")
    parser.add_argument("--work", default="build/paper-detector", help="checkpoints and logs")
    parser.add_argument("--models", default="engine/cleanup/models")
    parser.add_argument("--size", type=int, default=192)
    parser.add_argument("--widths", type=int, nargs="+", default=[16, 24, 40, 64, 96],
                        help="channels at each scale, from half the input's size down")
    parser.add_argument("--balance", type=float, default=0.5,
                        help="evens out the kinds of photo: each kind is drawn in proportion to its count "
                             "to the power 1 - balance; 0 draws every photo alike, 1 every kind alike")
    parser.add_argument("--plain", type=int, default=0,
                        help="noise-free pictures of a sheet in each batch (plain_sheets)")
    parser.add_argument("--epochs", type=int, default=60)
    parser.add_argument("--steps", type=int, default=100, help="batches an epoch")
    parser.add_argument("--batch", type=int, default=32)
    parser.add_argument("--lr", type=float, default=3e-3)
    parser.add_argument("--resume", help="a checkpoint to start from")
    parser.add_argument("--threads", type=int, default=4)
    args = parser.parse_args()
    torch.set_num_threads(args.threads)
    torch.manual_seed(0)
    rng = np.random.default_rng(0)
    os.makedirs(args.work, exist_ok=True)

    train = Photos(os.path.join(args.photos, "train"), args.size)
    for folder in args.also:
        train.join(Photos(folder, args.size))
    val = Photos(os.path.join(args.photos, "val"), args.size)
    model = PaperNet(tuple(args.widths))
    print(f"{sum(p.numel() for p in model.parameters())} parameters", flush=True)
    if args.resume:
        model.load_state_dict(torch.load(args.resume))
    optimiser = torch.optim.AdamW(model.parameters(), lr=args.lr, weight_decay=1e-4)
    schedule = torch.optim.lr_scheduler.OneCycleLR(optimiser, args.lr, pct_start=0.1,
                                                   total_steps=args.epochs * args.steps)
    best = -1.0
    for epoch in range(args.epochs):
        began, losses = time.time(), []
        train.update()
        chances = drawing_chances(train.kinds, args.balance) if args.balance else None
        for _ in range(args.steps):
            pick = np.sort(rng.choice(len(train.kinds), args.batch, replace=False, p=chances))
            images, masks = train.images[pick], train.masks[pick]
            if args.plain:
                plain = plain_sheets(rng, args.plain, args.size)
                images, masks = np.concatenate([images, plain[0]]), np.concatenate([masks, plain[1]])
            x, y = augment(rng, images, masks)
            loss = loss_of(model(x), y)
            optimiser.zero_grad()
            loss.backward()
            optimiser.step()
            schedule.step()
            losses.append(loss.item())
        iou, by_kind = evaluate(model, val)
        print(f"epoch {epoch + 1} on {len(train.kinds)} photos: loss {np.mean(losses):.4f}, "
              f"validation IoU over sheets {iou:.4f} ({time.time() - began:.0f} s); " +
              ", ".join(f"{k} {v:.3f}" for k, v in by_kind.items()), flush=True)
        if iou > best:
            best = iou
            torch.save(model.state_dict(), os.path.join(args.work, "best.pt"))
            export_detector.export(model, args.size, args.models, {
                "trained": "make train-paper-detector", "train_photos": len(train.kinds),
                "widths": args.widths,
                "val_iou": round(iou, 4)}, val.images[:8])


if __name__ == "__main__":
    main()
