#include "engine/cleanup/detail/LargeMats.h"

#include "engine/core/PixelStorage.h"

namespace quillfen::detail {

namespace {

// OpenCV's own allocation but for the storage: mapped with huge pages from largePixelBytes on.
class LargeMatAllocator final : public cv::MatAllocator {
public:
    cv::UMatData* allocate(int dims, const int* sizes, int type, void* data0, std::size_t* step,
                           cv::AccessFlag, cv::UMatUsageFlags) const override {
        std::size_t total = CV_ELEM_SIZE(type);
        for (int i = dims - 1; i >= 0; --i) {
            if (step) {
                if (data0 && step[i] != cv::Mat::AUTO_STEP) {
                    CV_Assert(total <= step[i]);
                    total = step[i];
                } else {
                    step[i] = total;
                }
            }
            total *= sizes[i];
        }
        auto* data = static_cast<uchar*>(data0);
        if (!data)
            data =
                static_cast<uchar*>(total >= largePixelBytes ? mapLargePixels(total) : cv::fastMalloc(total));
        if (!data) throw std::bad_alloc();
        auto* u = new cv::UMatData(this);
        u->data = u->origdata = data;
        u->size = total;
        if (data0) u->flags |= cv::UMatData::USER_ALLOCATED;
        return u;
    }

    bool allocate(cv::UMatData* u, cv::AccessFlag, cv::UMatUsageFlags) const override { return u != nullptr; }

    void deallocate(cv::UMatData* u) const override {
        if (!u) return;
        if (!(u->flags & cv::UMatData::USER_ALLOCATED)) {
            if (u->size >= largePixelBytes) {
                unmapLargePixels(u->origdata, u->size);
            } else {
                cv::fastFree(u->origdata);
            }
        }
        delete u;
    }
};

}  // namespace

cv::Mat largeMat(int rows, int columns, int type) {
    static auto* const allocator = new LargeMatAllocator;  // kept for Mats released at exit
    cv::Mat mat;
    mat.allocator = allocator;
    mat.create(rows, columns, type);
    return mat;
}

}  // namespace quillfen::detail
