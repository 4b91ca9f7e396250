// The process's peak resident memory, as each platform reports it.
#pragma once

/** The most memory this process has held resident so far, in MiB. */
double peakResidentMiB();
