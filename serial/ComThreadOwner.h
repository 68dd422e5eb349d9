#pragma once
// What the event thread needs of the port it serves: running a batch of line
// events on its own thread (smNone), and queueing work onto the port's
// user-interface thread (smThreadSync, smWindowSync).
#include <cstdint>

#include "CPortTypes.h"

class TComThreadOwner {
 public:
  // Acts on a batch of events; may throw (the thread then ends without a message).
  virtual void RunEventActions(TComEvents events, std::uint64_t session) = 0;
  // Queues taking the waiting batch (TComThread::TakeBatch) on the port's thread.
  virtual void PostHandOver(std::uint64_t session) = 0;
  // Queues the action for one event on the port's thread.
  virtual void PostAction(TComEvent event, std::uint64_t session) = 0;

 protected:
  ~TComThreadOwner() = default;
};
