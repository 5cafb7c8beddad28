// SimulatedDigitizer: a register-level model of the digitizer behind the parallel port. It sees
// the port's output lines (data and control registers as written) and answers on the status
// lines, in simulated time (microseconds of the virtual clock).
//
// The choices inside the device, which the port protocol leaves open:
// - Power and configuration. C3 = 0 powers the device; it comes up empty. D2 low resets the
//   configuration. While it is empty, each rising edge of C1 (register level) shifts in the bit
//   on C2, and status bit 3 echoes the bit shifted in on the clock before. The device takes
//   exactly 12,296 bits: the header FF 20 02 FF 9F (preamble and the length count 12,281) and a
//   CRC-32 of the whole 1,537-byte stream must match its own, else it stays empty. An empty or
//   unpowered device drives all status lines low, so the probe fails.
// - Status multiplexer in command mode (D7 = 1): bit 6 is "capture done". With D6 = 1 the
//   probe answer sits on bits 7 and 5 (0, 1 with D4 = 0; 1, 0 with D4 = 1), bit 4 is the
//   battery-low line when C0 = 0, bit 3 the sync indicator. With D6 = 0, bit 5 and bit 3 give the
//   last capture's state line (a tape time-base error) and its "not locked to vertical sync"
//   (also 1 while there is no video), bit 4 the battery.
// - Capture. A falling then rising edge of C2 in command mode triggers a capture into the
//   262,144-sample memory, at the rate that D1 (half rate) and D5 (908 samples a line) give at
//   that moment. Half rate also keeps only every second line, so that the preview's 119 lines
//   span the whole field, and lays each kept line out for the preview's read-out
//   (preview_scan.h), so that the preview frames the picture as a capture does. With C1 = 1 it
//   starts a dozen lines after the next vertical sync of the field that follows the last synced
//   capture in the four-field colour sequence (a rising edge of C1 starts again at field one), so
//   passes get the fields 1, 2, 3, 4 in turn. With C1 = 0 it starts at the next line sync; C1
//   falling while the capture waits for its sync starts it so. "Done" rises once the capture is
//   4,096 samples ahead, which a read-out (four port accesses a sample) can never catch up with. A
//   trigger is ignored while a started capture has not been read from yet, so a finished capture
//   waits for its reader. Without video no capture ever starts.
// - Read-out (D7 = 0). A falling edge of D6 in command mode puts the read address back to 0.
//   In read-out mode the device shows the sample's bits 7, 5, 4, 3 while D6 is high; the falling
//   edge latches bits 6, 2, 1, 0 (bit 6 on status bit 7) and moves to the next sample; the
//   address wraps at the end of the memory. Status bit 6 is the alarm.
// - Termination. The input is terminated outside the device, so D0 changes nothing, unless the
//   fault `unterminated` leaves it open: then a capture triggered while D0 is low sees the source
//   at twice its amplitude (no 75-ohm load divides it), measured from the sync tip, where the
//   input clamp holds the signal, and clipped at 255.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "sim/simulated_faults.h"
#include "sim/video_signal.h"

namespace kivoly::sim {

inline constexpr int kMemorySamples = 262144;
inline constexpr uint32_t kImageBits = 1537 * 8;

class SimulatedDigitizer {
  public:
    // `signal` (not owned) is the input; null means no video.
    explicit SimulatedDigitizer(VideoSignal* signal);

    void SetFaults(const SimulatedFaults& faults) { faults_ = faults; }
    const SimulatedFaults& Faults() const { return faults_; }

    // The port's output lines changed (or were written again) at `nowUs`.
    void Lines(uint8_t data, uint8_t control, int64_t nowUs);
    // The status lines at `nowUs`.
    uint8_t Status(int64_t nowUs);

    bool Powered() const { return powered_; }
    bool Configured() const { return configured_; }
    // Configuration resets, counted as they end (D2 rising).
    int ConfigurationResets() const { return resets_; }
    // Captures started, and the field (0 to 3) and flags of the last one.
    int CapturesStarted() const { return capturesStarted_; }
    int LastCaptureField() const { return lastField_; }
    const std::vector<uint8_t>& Memory();

  private:
    enum class Capture { Idle, WaitingForSync, Started };

    void PowerDown();
    void Clock(int bit);
    void Trigger(int64_t nowUs);
    static double NextLineStart(int64_t now);
    void StartAt(double startTime, bool synced);
    bool Done(int64_t nowUs) const;
    void FillMemory();
    void SampleCapture();
    uint8_t ReadoutStatus();

    VideoSignal* signal_;
    SimulatedFaults faults_;
    std::minstd_rand random_{12345};

    uint8_t data_ = 0;
    uint8_t control_ = 0;
    bool powered_ = false;
    bool configured_ = false;
    int resets_ = 0;

    // Configuration shift register.
    uint32_t bitsIn_ = 0;
    uint32_t crc_ = 0xFFFFFFFFu;
    uint8_t byte_ = 0;
    int lastBit_ = 0;
    int echo_ = 0;
    bool headerGood_ = true;

    // Capture.
    Capture capture_ = Capture::Idle;
    bool triggerArmed_ = false;  // C2 fell in command mode
    int samplesPerLine_ = 910;   // the clock latched at the trigger
    double startTime_ = 0;
    bool readSinceStart_ = true;
    int nextField_ = 0;
    int lastField_ = -1;
    int capturesStarted_ = 0;
    bool lastNoSync_ = false;
    bool lastTimeBaseError_ = false;
    bool memoryStale_ = false;
    bool inputOpen_ = false;  // the capture's input had no termination
    std::vector<uint8_t> memory_;

    // Read-out.
    uint32_t readAddress_ = 0;
    uint8_t latchedLow_ = 0;
};

}  // namespace kivoly::sim
