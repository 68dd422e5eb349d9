#pragma once
// A pseudo-terminal standing in for the measuring device, and helpers to
// wait on the event loop and to capture the error report.
#include <QApplication>
#include <QStringList>

class QMenuBar;
#include <string>
#include "support/QtWait.h"

#include "AppErrors.h"

namespace qvtest {

// While alive, errors reported by the application are collected here.
class CapturedErrors {
 public:
  CapturedErrors() : previous_(qv::SetErrorPresenter([this](const QString& t) { texts << t; })) {}
  ~CapturedErrors() { qv::SetErrorPresenter(previous_); }
  CapturedErrors(const CapturedErrors&) = delete;
  CapturedErrors& operator=(const CapturedErrors&) = delete;
  QStringList texts;

 private:
  qv::ErrorPresenter previous_;
};

// The device side of a pseudo-terminal: the program opens SlavePath().
class FakeDevice {
 public:
  FakeDevice();
  ~FakeDevice();
  FakeDevice(const FakeDevice&) = delete;
  FakeDevice& operator=(const FakeDevice&) = delete;

  const std::string& SlavePath() const { return slave_; }
  void Write(const std::string& bytes);
  // Everything the program has sent so far (gathered without waiting).
  const std::string& Received();
  // Waits (processing events) until Received() holds at least n bytes.
  bool WaitForReceived(std::size_t n);
  // Waits without processing events (for use inside a port handler).
  bool ReadUntil(std::size_t n);
  // Pulls the plug: the far side goes away.
  void Unplug();

 private:
  int master_ = -1;
  std::string slave_;
  std::string received_;
};

// The captions of the items of the i-th menu of a menu bar.
QStringList MenuItems(const QMenuBar* bar, int i);

// A maxima frame with the four values.
std::string MaximaFrame(int m0, int m1, int m2, int m3);

}  // namespace qvtest
