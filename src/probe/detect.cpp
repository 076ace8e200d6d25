// Chipset detection through the device probe.
#include "probe/detect.h"

#include "probe/device_probe.h"
#include "settings/driver_table.h"

int DetectChipset()
{
    // One buffer for every probe of the run; the probe may write into it and
    // the program never reads it.
    char buffer[kProbeBufferSize];
    for (int i = 0; i < DriverTable.Count; ++i) {
        const DriverEntry& row = DriverTable.Rows[i];
        for (WORD device : row.DeviceCodes) {
            if (device != 0 && ProbeDevice(row.VendorCode, device, buffer) != 0)
                return i;
        }
    }
    return -1;
}
