// The port back ends that need no hardware to answer: without a port every access reads as an
// empty bus and every claim fails, so the driver takes its "hardware not found" road.
#include <gtest/gtest.h>

#include "platform/port_io.h"

namespace kivoly::platform {
namespace {

TEST(PortIo, NoneBackEndIsAnEmptyBus) {
    PortIo& io = CurrentPortIo();
    EXPECT_EQ(io.In(0x379), 0xFF);
    io.Out(0x378, 0x55);
    EXPECT_EQ(io.In(0x378), 0xFF);
    EXPECT_EQ(io.Claim(1), -1);
    io.Release(1);
}

TEST(PortIo, PpdevWithoutTheDeviceFailsQuietly) {
    std::unique_ptr<PortIo> io = MakePpdevPortIo("/nonexistent/parport0");
    EXPECT_EQ(io->Claim(1), -1);
    EXPECT_EQ(io->Claim(3), -1);
    EXPECT_EQ(io->Claim(4), -1);
    EXPECT_EQ(io->In(0x379), 0xFF);
    io->Out(0x378, 0x55);
    EXPECT_EQ(io->In(0x378), 0xFF);
    EXPECT_EQ(io->In(0x778), 0xFF);  // the extended control register is out of ppdev's reach
}

TEST(PortIo, InstallAndRestore) {
    std::unique_ptr<PortIo> ppdev = MakePpdevPortIo("/nonexistent/parport7");
    InstallPortIo(ppdev.get());
    EXPECT_EQ(&CurrentPortIo(), ppdev.get());
    InstallPortIo(nullptr);
    EXPECT_NE(&CurrentPortIo(), ppdev.get());
    EXPECT_EQ(StandardPortBase(2), 0x278);
    EXPECT_EQ(StandardPortBase(0), 0);
}

}  // namespace
}  // namespace kivoly::platform
