// Renderer setup: the I/O table checks and the processor classification.
#include <cstring>

#include "render_test_util.h"

namespace {

ZvlCpuProbe Intel(uint32_t family, bool mmx = false) {
  ZvlCpuProbe p;
  p.alignmentCheckToggles = p.idFlagToggles = true;
  p.highestLevel = 2;
  std::strcpy(p.vendor, "GenuineIntel");
  p.leaf1Eax = family << 8;
  p.leaf1Edx = mmx ? 0x800000u : 0;
  return p;
}

TEST(CpuClassification, IntelFamiliesAndMmx) {
  EXPECT_EQ(ZvlClassifyCpu(Intel(5)), ZvlCpuPentium);
  EXPECT_EQ(ZvlClassifyCpu(Intel(5, true)), ZvlCpuPentiumMmx);
  EXPECT_EQ(ZvlClassifyCpu(Intel(6)), ZvlCpuPentiumPro);
  EXPECT_EQ(ZvlClassifyCpu(Intel(6, true)), ZvlCpuPentiumPro);
  EXPECT_EQ(ZvlClassifyCpu(Intel(4)), ZvlCpuUnsupported);
  EXPECT_EQ(ZvlClassifyCpu(Intel(3)), ZvlCpuUnsupported);
}

// Pentium 4 and today's Intel processors report base family 15 (the
// extended family field says which): they run the renderer.
TEST(CpuClassification, BaseFamily15IsSupported) {
  ZvlCpuProbe p = Intel(15, true);
  p.leaf1Eax |= 0x00100000u;  // extended family 1
  EXPECT_EQ(ZvlClassifyCpu(p), ZvlCpuPentiumPro);
}

TEST(CpuClassification, OtherVendorsAndOldProcessors) {
  ZvlCpuProbe amd = Intel(15);
  std::strcpy(amd.vendor, "AuthenticAMD");
  EXPECT_EQ(ZvlClassifyCpu(amd), ZvlCpu486);
  ZvlCpuProbe levelZero = Intel(6);
  levelZero.highestLevel = 0;
  EXPECT_EQ(ZvlClassifyCpu(levelZero), ZvlCpu486);
  ZvlCpuProbe noCpuid;
  noCpuid.alignmentCheckToggles = true;
  EXPECT_EQ(ZvlClassifyCpu(noCpuid), ZvlCpu486);
  ZvlCpuProbe i386;  // alignment-check flag fixed
  EXPECT_EQ(ZvlClassifyCpu(i386), ZvlCpuUnsupported);
}

TEST(CpuClassification, ThisProcessorRenders) {
  const uint8_t type = ZvlClassifyCpu(ZvlProbeProcessor());
  EXPECT_GE(type, ZvlCpu486);
  EXPECT_LE(type, ZvlCpuPentiumPro);
}

TEST(CpuClassification, Texts) {
  EXPECT_STREQ(ZvlCpuTypeText(1), "Intel 80486 or compartible");
  EXPECT_STREQ(ZvlCpuTypeText(2), "Intel Pentium(r)");
  EXPECT_STREQ(ZvlCpuTypeText(3), "Intel Pentium(r) with MMX(tm)");
  EXPECT_STREQ(ZvlCpuTypeText(4), "Intel Pentium(r) Pro");
  EXPECT_STREQ(ZvlCpuTypeText(255), "CPU not supported");
}

ZvlCpuProbe Family4() { return Intel(4); }
ZvlCpuProbe Family15() { return Intel(15); }
ZvlCpuProbe Amd() {
  ZvlCpuProbe p = Intel(6);
  std::strcpy(p.vendor, "AuthenticAMD");
  return p;
}

class Setup : public ::testing::Test {
 protected:
  void TearDown() override { rtest::SetUpRenderer(); }
};

TEST_F(Setup, RefusesMissingTableAndEmptyEntries) {
  EXPECT_EQ(ZvlSetup(nullptr), 1);
  EXPECT_STREQ(ZvlGetErrorText(), "No setup parameter");
  ZvlIoFunctions partial = ZvlDefaultIoFunctions();
  partial.tell = nullptr;  // the sixth entry
  EXPECT_EQ(ZvlSetup(&partial), 1);
  EXPECT_STREQ(ZvlGetErrorText(), "Setup is empty");
  // The previous functions stay in place.
  EXPECT_EQ(ZvlIo().tell, ZvlDefaultIoFunctions().tell);
}

TEST_F(Setup, UnsupportedProcessorFailsButKeepsFunctions) {
  ZvlSetCpuProbe(Family4);
  EXPECT_EQ(ZvlSetup(&ZvlDefaultIoFunctions()), 1);
  EXPECT_STREQ(ZvlGetErrorText(), "CPU not supported");
  EXPECT_EQ(ZvlGetCpuType(), ZvlCpuUnsupported);
  EXPECT_EQ(ZvlIo().allocate, ZvlDefaultIoFunctions().allocate);
  // No handler can be made on it.
  const std::vector<uint16_t> table(ZvlColorIndexCount);
  rtest::Buffers<uint16_t> buffers(8, 8);
  EXPECT_EQ(ZvlCreateScnHandler(0, table.data(), nullptr, &buffers.desc), nullptr);
  EXPECT_STREQ(ZvlGetErrorText(), "CPU not supported");
}

TEST_F(Setup, Family15AndOtherVendorsSetUp) {
  ZvlSetCpuProbe(Family15);
  EXPECT_EQ(ZvlSetup(&ZvlDefaultIoFunctions()), 0);
  EXPECT_EQ(ZvlGetCpuType(), ZvlCpuPentiumPro);
  ZvlSetCpuProbe(Amd);
  EXPECT_EQ(ZvlSetup(&ZvlDefaultIoFunctions()), 0);
  EXPECT_EQ(ZvlGetCpuType(), ZvlCpu486);
}

}  // namespace
