// Chipset detection: which row of the driver table the probe library confirms.
#pragma once

// Index of the first row whose vendor code and one of whose device codes the
// device probe reports present, or -1. Slot 1 is probed before slot 2; empty
// slots are never probed.
int DetectChipset();
