// The capture passes that turn fields from a VideoSource into the lines of a decoded picture.
//
// A pass captures and processes one field. The first frame's fields (passes 0 and 1; 4 and 5 for
// the second sample set of the 35 ns mode) are stored as raw lines; the next frame's fields
// (passes 2 and 3; 6 and 7) are decoded against them line by line with the frame comb as they
// arrive, so the second frame is never stored. Lines are found and aligned as the samples arrive
// through the chunk buffer. Along the way the signal is judged (no field, alarm, no blanking
// level, unstable field type, wrong colour frame) and the pass retried, the attempt restarted or
// rescanned, the passes stopped early, or the decode given up. Whatever was captured when the
// passes stop is completed by the single-frame separator or the field interpolation.
#include "decode/internal/capture_passes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "capture/video_source.h"
#include "decode/internal/burst_vector.h"
#include "decode/internal/luma_smoothers.h"

namespace kivoly {

namespace {

constexpr int kRetryLimit = 16;
constexpr int kMinimumBlanking = 48;
constexpr int kSkewLimit = 75;

}  // namespace

bool CapturePasses::Run(DecodeResult& result) {
    bool rescan = true;
    for (;;) {
        if (rescan) {
            ++rescans_;
            restarts_ = 0;
        }
        ++restarts_;
        step_ = quality_ < 2 ? 1 : 2;
        image_.fieldStep = static_cast<int16_t>(step_);
        linesPerField_ = std::min(kFieldLines, image_.lineCount / step_);
        maxPasses_ = image_.lineTable2.entries != nullptr ? 8 : 2;
        if (progress_ != nullptr)
            progress_->EnterPhase(DecodeProgress::Phase::FirstFrame, counter_);
        road_.ResetSignalState();
        image_.statistics.ClearNegative();
        if (!(source_.ReadoutActive() && quality_ == 0)) source_.SetSyncWait(1);

        PassEnd end = PassEnd::Next;
        for (int pass = 0; pass < maxPasses_ && end == PassEnd::Next;) {
            end = RunPass(pass);
            if (end == PassEnd::Next) pass += 2 / step_;
        }
        switch (end) {
            case PassEnd::Next:
            case PassEnd::Stop:
                return true;
            case PassEnd::Exit:
                result = exitResult_;
                return false;
            case PassEnd::Restart:
            case PassEnd::Retry:  // handled within the pass
                rescan = false;
                break;
            case PassEnd::Rescan:
                rescan = true;
                break;
        }
    }
}

PassEnd CapturePasses::RunPass(int pass) {
    attempts_ = 0;
    averager_.Reset();
    image_.statistics.currentLine = 0;
    const bool second = pass >= 4;
    LineTable& table = second ? image_.lineTable2 : image_.lineTable;
    source_.SetAltLineLength(second);
    if (pass == 4) road_.slicer.Reset();
    samplesPerLine_ = source_.SamplesPerLine();
    road_.recorder.SetSamplesPerLine(samplesPerLine_);
    road_.comb.SetSamplesPerLine(samplesPerLine_);
    if (pass == 2 && progress_ != nullptr) {
        progress_->EnterPhase(DecodeProgress::Phase::SecondFrame, counter_);
    }
    // Even passes fill lines 1, 3, 5, ... and odd passes 0, 2, 4, ... of a two-field picture.
    int cursor = pass % 2;
    if (step_ == 2) cursor += pass % 2 == 0 ? 1 : -1;

    for (;;) {
        uint16_t flags = 0;
        PassEnd end = AcquireFieldOfPass(pass, flags);
        if (end == PassEnd::Next) end = ProcessLines(pass, flags, table, cursor);
        if (end != PassEnd::Retry) return end;
        CopyRestOfField();
    }
}

// A field the passes do not use still becomes a record, so that the raw file replays.
void CapturePasses::SkipField() {
    road_.rawDump.BeginRecord(source_.FieldFlags());
    CopyRestOfField();
    road_.rawDump.FinishRecord();
}

PassEnd CapturePasses::AcquireFieldOfPass(int pass, uint16_t& flags) {
    if (Aborted()) {
        exitResult_ = DecodeAborted;
        return PassEnd::Exit;
    }
    ++attempts_;
    if (attempts_ > kRetryLimit || restarts_ > kRetryLimit || rescans_ > kRetryLimit) {
        if (progress_ != nullptr) progress_->RetriesExhausted(rescans_ > kRetryLimit);
        if (pass > 0) return PassEnd::Stop;
        if (cameraInput_ && rescans_ <= kRetryLimit) {
            // Give the source a last chance as a tape player.
            cameraInput_ = false;
            attempts_ = restarts_ = rescans_ = 0;
        } else {
            exitResult_ = DecodeBadSignal;
            return PassEnd::Exit;
        }
    }

    road_.chunk.SetEvenOddOffset(0);
    const PassEnd noField = pass > 0 ? PassEnd::Stop : PassEnd::Exit;
    exitResult_ = DecodeNoVideo;
    if (source_.ReadoutActive() && quality_ == 0) {
        source_.Rewind();
    } else {
        if (!source_.AcquireField()) return noField;
        if (source_.FieldFlags() & NoSync) {
            if (toggle_) {
                SkipField();
                if (!source_.AcquireField()) return noField;
            }
            toggle_ = !toggle_;
        } else if (step_ == 1 && pass > 0) {
            // One-field pictures take every second field.
            SkipField();
            if (!source_.AcquireField()) return noField;
        }
    }

    uint16_t f = source_.FieldFlags();
    const bool hardware = source_.IsHardware();
    if (f & NoSync) {
        if (!(f & StatusPE) && cameraInput_ && hardware) f &= NoSync;
    } else if (f != 0 && cameraInput_ && hardware) {
        source_.EndReadout();
        return PassEnd::Restart;
    }
    if (!hardware && f != 0) f &= NoSync;

    const bool stableField = (f & NoSync) ? !(f & StatusPE) : f == 0;
    if (pass % 4 == step_ - 1 && quality_ != 0 && stableField && maxPasses_ < 4) maxPasses_ = 4;
    if (pass > step_ - 1) {
        if ((f & NoSync) && (f & StatusPE)) {
            return cameraInput_ ? PassEnd::Retry : PassEnd::Stop;
        }
        if (!(f & NoSync) && f != 0) return PassEnd::Stop;
    }
    flags = f;
    return PassEnd::Next;
}

PassEnd CapturePasses::ProcessLines(int pass, uint16_t flags, LineTable& table, int cursor) {
    uint8_t* const chunk = road_.chunk.Data();
    source_.Read(chunk, kChunkBytes);
    road_.rawDump.BeginRecord(flags);
    road_.rawDump.Write(chunk, kChunkBytes);

    int position = 0;
    for (int i = 0; i < 3; ++i) {
        const int next = NextLine(position);
        road_.chunk.MeasureEvenOdd(position);
        position = next;
    }
    for (int i = 0; i < (kFieldLines - linesPerField_) / 2; ++i)
        position = NextLine(position);

    const bool storing = pass % 4 < 2;
    for (int l = 0; l < linesPerField_; ++l) {
        image_.statistics.currentLine = static_cast<uint16_t>(l);
        if (source_.FieldFlags() & DeviceAlarm) {
            exitResult_ = DecodeNoVideo;
            return PassEnd::Exit;
        }
        int start = NextLine(position);
        if (kChunkBytes - start < kRawLineSamples) start = kChunkBytes - kRawLineSamples;
        int16_t skew = road_.slicer.Skew();
        if (skew < -kSkewLimit || skew > kSkewLimit) skew = 0;

        if (l == 0) {
            const BurstMeasurement m = road_.aligner.Measure(chunk + start);
            burstA_[pass] = m.a;
            burstB_[pass] = m.b;
            if (m.blanking < kMinimumBlanking) {
                if (pass == 0) {
                    source_.EndReadout();
                    CopyRestOfField();
                    return PassEnd::Rescan;
                }
                exitResult_ = DecodeBadSignal;
                return PassEnd::Exit;
            }
            road_.comb.SetPhaseShift(0);
            if (pass > 4) {
                const double A = burstA_[pass - 4];
                const double B = burstB_[pass - 4];
                if (!BurstMatches(m.a, m.b, A, B)) {
                    if (BurstQuarterAhead(m.a, m.b, A, B)) {
                        road_.comb.SetPhaseShift(1);
                    } else if (BurstQuarterBehind(m.a, m.b, A, B)) {
                        road_.comb.SetPhaseShift(-1);
                    } else {
                        road_.comb.SetPhaseShift(2);
                    }
                }
            }
        }

        uint8_t* line = table.Line(cursor);
        if (storing) {
            if (!(l == 0 && pass == 0) && quality_ != 0 && !(flags & (NoSync | StatusPE))) {
                const int before = start;
                road_.aligner.Align(chunk, start, l, burstB_[pass], burstA_[pass], skew);
                if (start != before && l > 0) {
                    uint8_t* previous = table.Line(cursor - step_);
                    int16_t skew;
                    std::memcpy(&skew, previous, 2);
                    skew = static_cast<int16_t>(skew + (start - before));
                    std::memcpy(previous, &skew, 2);
                }
            }
            std::memcpy(line, &skew, 2);
            std::memcpy(line + 2, chunk + start, kRawLineSamples);
        } else {
            if (l == 0 && (flags & NoSync) && road_.aligner.MissCount() < 3) {
                // The new frame must carry the inverse colour phase of the stored one.
                if (!BurstIsInverse(burstA_[pass], burstB_[pass], burstA_[pass % 2],
                                    burstB_[pass % 2])) {
                    return PassEnd::Retry;
                }
            }
            if (pass >= 4) {
                road_.aligner.Align(chunk, start, l, burstB_[pass], burstA_[pass], skew);
            }
            road_.comb.DecodeFrameLine(line, chunk + start, averager_);
            if (pass >= 6) MergeSampleSets(line, image_.lineTable.Line(cursor));
        }

        if (progress_ != nullptr) {
            progress_->Advance(++counter_);
            if (l == 0) progress_->FieldStarted();
            if (progress_->Aborted()) {
                exitResult_ = DecodeAborted;
                return PassEnd::Exit;
            }
        }
        cursor += step_;
        position = start;
    }

    image_.passesDone = static_cast<int16_t>(pass + 2 / step_);
    CopyRestOfField();
    road_.rawDump.FinishRecord();
    source_.EndReadout();
    return PassEnd::Next;
}

}  // namespace kivoly
