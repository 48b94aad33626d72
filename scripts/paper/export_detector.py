"""Writes the trained paper network as ONNX that OpenCV 4.6's dnn module reads, with its sidecar,
and checks that OpenCV computes what PyTorch does."""

import json
import os

import cv2
import numpy as np
import onnx
import torch

MODEL = "paper-segmentation.onnx"
SIDECAR = "paper-segmentation.json"
TOLERANCE = 1e-4


def fold_identities(graph):
    """Removes Identity nodes, which the exporter leaves behind and OpenCV 4.6 cannot read."""
    outputs = {output.name for output in graph.output}
    for node in [n for n in graph.node if n.op_type == "Identity"]:
        source, target = node.input[0], node.output[0]
        graph.node.remove(node)
        for other in graph.node:
            if target in outputs:
                other.output[:] = [target if name == source else name for name in other.output]
                other.input[:] = [target if name == source else name for name in other.input]
            else:
                other.input[:] = [source if name == target else name for name in other.input]


def export(model, size, folder, info, samples):
    """Exports the model for size x size inputs into folder; samples are RGB uint8 inputs on
    which OpenCV's output must match PyTorch's. Returns the largest difference seen."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, MODEL)
    model.eval()
    torch.onnx.export(model, torch.zeros(1, 3, size, size), path, input_names=["image"],
                      output_names=["mask"], opset_version=11, do_constant_folding=True)
    graph = onnx.load(path)
    fold_identities(graph.graph)
    onnx.checker.check_model(graph)
    onnx.save(graph, path)

    net = cv2.dnn.readNetFromONNX(path)
    worst = 0.0
    with torch.no_grad():
        for sample in samples:
            x = (sample.astype(np.float32) / 255).transpose(2, 0, 1)[None].copy()
            net.setInput(x, "image")
            found = net.forward("mask")
            expected = model(torch.from_numpy(x)).numpy()
            worst = max(worst, float(np.abs(found - expected).max()))
    model.train()
    if worst > TOLERANCE:
        raise RuntimeError(f"OpenCV's output differs from PyTorch's by {worst}")
    with open(os.path.join(folder, SIDECAR), "w") as f:
        json.dump({"size": size, **info}, f, indent=1)
        f.write("\n")
    print(f"exported {path} ({os.path.getsize(path)} bytes), OpenCV matches PyTorch to "
          f"{worst:.1e}", flush=True)
    return worst
