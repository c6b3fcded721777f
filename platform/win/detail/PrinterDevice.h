// What a printer device context knows beyond a surface one: its paper and resolution, and the
// PDF document being written while a job runs.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/detail/VectorPage.h"

#include <cairo.h>

#include <memory>
#include <string>

struct PrinterDevice {
    PrinterDevice() = default;
    ~PrinterDevice();
    PrinterDevice(const PrinterDevice&) = delete;
    PrinterDevice& operator=(const PrinterDevice&) = delete;

    // Device geometry in printer dots: the whole sheet, and where the printable area (device
    // point (0, 0)) starts on it.
    int dpi = 300;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int HorzRes() const { return physicalWidth - 2 * offsetX; }
    int VertRes() const { return physicalHeight - 2 * offsetY; }
    std::string port;

    // The running job: the PDF surface writes to a temporary file beside the output, renamed
    // over it when the document ends.
    int jobId = 0;
    cairo_surface_t* pdf = nullptr;
    int fd = -1;
    bool writeFailed = false;
    bool inPage = false;
    // The page being drawn, kept for the next one once it has gone into the document.
    std::unique_ptr<VectorPage> page;
    std::string output;
    std::string temporary;

    // Drops the job: nothing of it reaches the output.
    void Abandon();
};

// The printer's answer to a device capability, when it differs from the screen's.
bool GetPrinterCaps(const PrinterDevice& printer, int index, int* answer);
