#pragma once
// The acquisition apart from any window: the port while a capture holds it,
// the sample history, the panel command that waits for the port, and whether
// a run goes on. The window drives it pass by pass and draws what it holds.
#include <functional>

#include "capture/captureblock.h"
#include "capture/history.h"
#include "link/commandsender.h"
#include "link/comport.h"

enum class CaptureState {
  Idle,      // the port is the panel's
  Running,   // a run holds the port and goes on after this pass
  Stopping,  // the port is held for the last pass: a run told to stop, or Once
};

class CaptureSession final : public CommandSender {
 public:
  explicit CaptureSession(TComPort& port) : port_(port) {}

  CaptureState State() const { return state_; }
  bool Running() const { return state_ == CaptureState::Running; }
  // The capture holds the port: from a successful start until Release. Panel
  // commands then wait, and so does the link check.
  bool Acquiring() const { return state_ != CaptureState::Idle; }
  bool CommandWaiting() const { return static_cast<bool>(pending_); }
  const TComPort& Port() const { return port_; }  // and why a failed start failed

  // Takes the port for a run or for one block, opening it unless it is open
  // already. False, and still idle, when the port cannot be had.
  bool Start(bool run);
  // A run ends after the pass in progress.
  void Stop();
  // A run told to stop goes on after all, while its last pass is still in
  // progress.
  void Resume();
  // One capture on the held port into the history, moved back one block
  // first when averaging. Anything but a whole block leaves the history as
  // it was and ends a run after this pass.
  BlockResult Capture(bool average, const KeepWaiting& keepWaiting);
  // Sends the command left waiting, if any, on the held port.
  void SendPending();
  // Closes the port, however the work ended: idle again.
  void Release();

  void Send(Transaction transaction) override;

  SampleHistory Samples;
  // What a capture's 5-second limit is measured by.
  CaptureClock Now = std::chrono::steady_clock::now;

 private:
  TComPort& port_;
  CaptureState state_ = CaptureState::Idle;
  Transaction pending_;
};
