// What the plug-in host tells of a decode while it runs: a plug-in's
// progress reports, and the answer that asks it to stop. One decode at a
// time, on the thread that asked for it.
#pragma once

class DecodeProgress {
 public:
  virtual ~DecodeProgress() = default;
  // A decode starts.
  virtual void Begin() = 0;
  // The plug-in has done `done` of `total`; true asks it to stop.
  virtual bool Report(int done, int total) = 0;
  // The decode has ended, whatever its result.
  virtual void End() = 0;
};
