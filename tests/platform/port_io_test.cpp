// The port back ends that need no hardware to answer: without a port every access reads as an
// empty bus and every claim fails, so the driver takes its "hardware not found" road.
#include <gtest/gtest.h>

#include "platform/port_io.h"

namespace kivoly::platform {
namespace {

TEST(PortIo, WithoutAPortEveryBackEndIsAnEmptyBus) {
    std::unique_ptr<PortIo> ppdev = MakePpdevPortIo("/nonexistent/parport0");
    for (PortIo* io : {&CurrentPortIo(), ppdev.get()}) {
        for (int port : {1, 3, 4})
            EXPECT_EQ(io->Claim(port), -1) << port;
        io->Out(0x378, 0x55);
        EXPECT_EQ(io->In(0x378), 0xFF);
        EXPECT_EQ(io->In(0x778), 0xFF);  // the extended control register is out of ppdev's reach
    }
    InstallPortIo(ppdev.get());
    EXPECT_EQ(&CurrentPortIo(), ppdev.get());
    InstallPortIo(nullptr);
    EXPECT_NE(&CurrentPortIo(), ppdev.get());
}

}  // namespace
}  // namespace kivoly::platform
