#include "sim/capture_sequence.h"

#include <cstring>

namespace kivoly::sim {

namespace {

// Interleaves two fields' stored lines, the second field on the even lines.
IdealPlanes Interleave(const IdealPlanes& firstField, const IdealPlanes& secondField) {
    IdealPlanes frame;
    frame.Resize(firstField.lines + secondField.lines);
    const size_t width = static_cast<size_t>(frame.width);
    for (int line = 0; line < frame.lines; ++line) {
        const IdealPlanes& from = line % 2 == 0 ? secondField : firstField;
        const size_t src = static_cast<size_t>(line / 2) * width;
        const size_t dst = static_cast<size_t>(line) * width;
        std::memcpy(&frame.y[dst], &from.y[src], width);
        std::memcpy(&frame.u[dst], &from.u[src], width);
        std::memcpy(&frame.v[dst], &from.v[src], width);
        std::memcpy(&frame.chroma[dst], &from.chroma[src], width);
    }
    return frame;
}

}  // namespace

std::vector<AcquiredField> AcquisitionOrder(int quality, int64_t first) {
    std::vector<AcquiredField> order;
    const int fields = quality <= 0 ? 1 : quality == 1 ? 3 : quality == 2 ? 4 : 8;
    for (int i = 0; i < fields; ++i) {
        order.push_back({first + i, i < 4 ? 910 : 908});
    }
    return order;
}

std::vector<CaptureRecord> EncodeCaptureRecords(const NtscEncoder& encoder, int quality,
                                                int64_t first) {
    std::vector<CaptureRecord> records;
    for (const AcquiredField& acquired : AcquisitionOrder(quality, first)) {
        CaptureRecord record;
        record.samples.resize(kRecordSamples);
        encoder.CaptureField(acquired.field, acquired.samplesPerLine, record.samples);
        records.push_back(std::move(record));
    }
    return records;
}

IdealDecode IdealDecodeFor(const NtscEncoder& encoder, int quality, int64_t first) {
    IdealDecode ideal;
    if (quality < 2) {
        ideal.first = encoder.IdealField(first, 910);
        return ideal;
    }
    ideal.first = Interleave(encoder.IdealField(first, 910), encoder.IdealField(first + 1, 910));
    if (quality >= 3) {
        ideal.second =
            Interleave(encoder.IdealField(first + 4, 908), encoder.IdealField(first + 5, 908));
    }
    return ideal;
}

}  // namespace kivoly::sim
