#pragma once
// The part of the port that the receive handler needs: reading the bytes that
// wait and writing the device's one-byte commands. The port component
// implements it; tests hand the handler a double.
#include <string>

class TComPortIO {
 public:
  virtual ~TComPortIO() = default;
  // Reads up to Count bytes of what is waiting into Str without waiting for
  // more; Str's length afterwards equals the result. Str's storage is reused,
  // so a caller that keeps its string reads without allocating once the string
  // has grown to the largest read. Fails with EComPort 3.
  virtual int ReadString(std::string& Str, int Count) = 0;
  // Writes all bytes of Str; returns the number written. Fails with EComPort 2.
  virtual int WriteString(const std::string& Str) = 0;
};
