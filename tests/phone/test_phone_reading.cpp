#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "PhoneReading.h"

using namespace qv::phone;
using qv::workshop::Band;
using qv::workshop::ReferenceKind;
using qv::workshop::Status;
using qv::workshop::Unit;

namespace {

PhoneReading Live() {
  PhoneReading r;
  r.status = Status::Live;
  r.difference = {-1.25, 8.75, -11.25, 3.75};
  r.band = {Band::Inside, Band::Inside, Band::Near, Band::Inside};
  r.worstChannel = 2;
  r.settled = true;
  r.reference = -248.75;
  r.tolerance = 10;
  return r;
}

}  // namespace

TEST(PhoneReading, TheJsonHoldsWhatTheViewShowsRoundedAsShown) {
  EXPECT_EQ(ReadingJson(Live(), 7, true),
            "{\"n\":7,\"active\":true,\"status\":\"live\",\"pair\":false,\"d\":[-1,9,-11,4],"
            "\"band\":[\"in\",\"in\",\"near\",\"in\"],\"sync\":false,\"settled\":true,\"worst\":2,"
            "\"ref\":{\"kind\":\"mean\",\"cyl\":0,\"value\":-249},\"unit\":\"mBar\",\"dec\":0,\"tol\":10,"
            "\"tone\":-1,\"hold\":false}");
}

TEST(PhoneReading, UnitsPairsToneAndOddNumbers) {
  PhoneReading r = Live();
  r.unit = Unit::InchHg;
  r.difference = {-0.004, 0.2361, std::numeric_limits<double>::quiet_NaN(), 1e300};
  r.reference = -7.3456;
  r.tolerance = 0.296;
  r.referenceKind = ReferenceKind::Cylinder;
  r.referenceCylinder = 3;
  r.toneCylinder = 1;
  const std::string json = ReadingJson(r, 0, false);
  EXPECT_NE(json.find("\"d\":[0.00,0.24,null,1000000000.00]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"ref\":{\"kind\":\"cyl\",\"cyl\":3,\"value\":-7.35}"), std::string::npos) << json;
  EXPECT_NE(json.find("\"unit\":\"inHg\",\"dec\":2,\"tol\":0.30,\"tone\":1"), std::string::npos) << json;
  EXPECT_NE(json.find("\"active\":false"), std::string::npos);

  r = Live();
  r.pairMode = true;
  r.channelCount = 2;
  r.worstChannel = 3;  // beyond the pairs: none
  r.toneCylinder = 9;  // beyond the cylinders: off
  const std::string pairs = ReadingJson(r, 1, true);
  EXPECT_NE(pairs.find("\"pair\":true,\"d\":[-1,9],\"band\":[\"in\",\"in\"]"), std::string::npos) << pairs;
  EXPECT_NE(pairs.find("\"worst\":-1"), std::string::npos);
  EXPECT_NE(pairs.find("\"tone\":-1"), std::string::npos);
}

TEST(PhoneReading, NumbersKeepTheirPointInAnyLocale) {
  // Qt sets the C library's locale from the environment; a German one must not
  // turn 0.24 into 0,24 in the JSON.
  const char* before = std::setlocale(LC_ALL, nullptr);
  const std::string saved = before ? before : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  PhoneReading r = Live();
  r.unit = Unit::KiloPascal;
  r.difference = {0.24, -0.04, 0, 1.26};
  const std::string json = ReadingJson(r, 1, true);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_NE(json.find("\"d\":[0.2,0.0,0.0,1.3]"), std::string::npos) << json;
}

TEST(PhoneReading, TakenFromTheWorkshopReading) {
  qv::workshop::Reading w;
  w.status = Status::NoData;
  w.unit = Unit::KiloPascal;
  w.referenceKind = ReferenceKind::Midpoint;
  w.channels[0].difference = 1.5;
  w.channels[3].difference = -2.5;
  w.channels[3].band = Band::Outside;
  w.worstChannel = 3;
  w.reference = -25;
  w.tolerance = 1;
  w.inSync = false;
  w.held = true;
  const PhoneReading p = PhoneReadingOf(w, 2);
  EXPECT_EQ(p.status, Status::NoData);
  EXPECT_EQ(p.unit, Unit::KiloPascal);
  EXPECT_EQ(p.referenceKind, ReferenceKind::Midpoint);
  EXPECT_EQ(p.difference[0], 1.5);
  EXPECT_EQ(p.difference[3], -2.5);
  EXPECT_EQ(p.band[3], Band::Outside);
  EXPECT_EQ(p.worstChannel, 3);
  EXPECT_EQ(p.reference, -25);
  EXPECT_EQ(p.toneCylinder, 2);
  EXPECT_TRUE(p.held);
}

TEST(PhoneReading, EventsAreServerSentEventsOfOneLine) {
  const std::string e = ReadingEvent(Live(), 3, true);
  EXPECT_EQ(e.rfind("event: reading\ndata: {", 0), 0u);
  EXPECT_EQ(e.substr(e.size() - 3), "}\n\n");
  EXPECT_EQ(e.find('\n', 22), e.size() - 2);  // the data is one line
  EXPECT_EQ(AliveEvent().rfind("event: alive\n", 0), 0u);
  EXPECT_EQ(StreamStart(), "retry: 1000\n\n");
}
