#pragma once
// The process's resident memory, read from /proc/self/status, in kilobytes (0 when
// the file cannot be read).

long residentKb();      // VmRSS: resident now
long peakResidentKb();  // VmHWM: the peak so far
