#include "engine/cleanup/detail/PaperBands.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quillfen::detail::paper {

namespace {

// The run of a mask's row, if its set pixels make one: from the first 255 to past the last, with no 0
// between.
bool singleRun(const std::uint8_t* row, int width, Run& run) {
    const void* first = std::memchr(row, 255, width);
    if (first == nullptr) {
        run = {0, 0};
        return true;
    }
    run.from = static_cast<int>(static_cast<const std::uint8_t*>(first) - row);
    run.to = static_cast<int>(static_cast<const std::uint8_t*>(memrchr(row, 255, width)) - row) + 1;
    return std::memchr(row + run.from, 0, run.to - run.from) == nullptr;
}

void appendRuns(const std::uint8_t* row, int width, std::vector<Run>& runs) {
    for (int x = 0; x < width;) {
        if (row[x] == 0) {
            ++x;
            continue;
        }
        const int from = x;
        while (x < width && row[x] != 0) ++x;
        runs.push_back({from, x});
    }
}

}  // namespace

// A convex outline fills one run a row, in rows one after another. The band of a row then reaches band
// columns past the runs of the rows up to band rows above and below it, and while each row's run widened by
// band on either side meets the next row's, those widened runs join into one, from the leftmost to the
// rightmost. Masks not so (an outline whose corners cross) are dilated.
BandRows::BandRows(const cv::Mat& mask, int band) : starts(2 * mask.rows + 1) {
    const int rows = mask.rows, cols = mask.cols;
    std::vector<Run> own(rows);
    int first = rows, last = -1;
    bool joined = true;
    for (int y = 0; y < rows && joined; ++y) {
        Run& run = own[y];
        joined = singleRun(mask.ptr<std::uint8_t>(y), cols, run);
        if (!joined || run.from == run.to) continue;
        if (last >= 0) {
            const Run& above = own[last];
            joined =
                last == y - 1 && run.from - band <= above.to + band && above.from - band <= run.to + band;
        }
        first = std::min(first, y);
        last = y;
    }
    if (joined) {
        for (int y = 0; y < rows; ++y) {
            starts[2 * y] = static_cast<int>(runs.size());
            const Run inner = own[y];
            if (inner.from < inner.to) runs.push_back(inner);
            starts[2 * y + 1] = static_cast<int>(runs.size());
            const int top = std::max(first, y - band), bottom = std::min(last, y + band);
            if (top > bottom) continue;
            int from = cols, to = 0;
            for (int r = top; r <= bottom; ++r)
                from = std::min(from, own[r].from), to = std::max(to, own[r].to);
            from = std::max(0, from - band);
            to = std::min(cols, to + band);
            if (inner.from == inner.to) {
                runs.push_back({from, to});
                continue;
            }
            if (from < inner.from) runs.push_back({from, inner.from});
            if (inner.to < to) runs.push_back({inner.to, to});
        }
    } else {
        cv::Mat dilated;
        cv::dilate(mask, dilated,
                   cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * band + 1, 2 * band + 1)));
        dilated -= mask;
        for (int y = 0; y < rows; ++y) {
            starts[2 * y] = static_cast<int>(runs.size());
            appendRuns(mask.ptr<std::uint8_t>(y), cols, runs);
            starts[2 * y + 1] = static_cast<int>(runs.size());
            appendRuns(dilated.ptr<std::uint8_t>(y), cols, runs);
        }
    }
    starts[2 * rows] = static_cast<int>(runs.size());
}

std::span<const Run> BandRows::inside(int y) const {
    return std::span<const Run>(runs).subspan(starts[2 * y], starts[2 * y + 1] - starts[2 * y]);
}

std::span<const Run> BandRows::around(int y) const {
    return std::span<const Run>(runs).subspan(starts[2 * y + 1], starts[2 * y + 2] - starts[2 * y + 1]);
}

}  // namespace quillfen::detail::paper
