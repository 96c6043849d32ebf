// Prints the vehicle report of a made-up record to a PDF file, as the lookup window's Print command does
// once the print dialog chose a file: Letter, 300 dpi, half-inch margins. For whole-process timings.
// Usage: print_report <output.pdf> short|long <font size>

#include "lookup/printer_report_canvas.h"
#include "lookup/vin_record.h"
#include "platform/gui/application.h"
#include "platform/gui/printer.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

void FillRecord(carlume::TVinRecord& record, bool full)
{
    record.Clear();
    record.ModelYear = 2010;
    record.Make = "Acme";
    record.Model = "Roadster GT";
    record.Symbol = 14;
    if (!full)
        return;
    record.VehicleClass = "Sports";
    record.VIN = "1AVQL14S1A";
    record.Cylinders = 6;
    record.Body = "2D CPE";
    record.AntiTheft = 0x1FF;
    record.PassiveRestraints = 0xFF;
    record.ModelInfo = "Base";
    record.BodyInfo = "Coupe";
    record.EngineInfo = "V6";
    record.RestraintInfo = "Front";
    record.TransmissionInfo = "Manual";
    record.OtherInfo = "None";
    record.StateExceptions = "MA";
}

} // namespace

int main(int argc, char** argv)
{
    const std::string kind = argc == 4 ? argv[2] : "";
    char* end = nullptr;
    const long size = argc == 4 ? std::strtol(argv[3], &end, 10) : 0;
    if ((kind != "short" && kind != "long") || end == argv[3] || *end != '\0' || size < 1 || size > 99) {
        std::fprintf(stderr, "usage: print_report <output.pdf> short|long <font size>\n");
        return 2;
    }
    try {
        carlume::TApplication application(argc, argv);
        QPrinter device(QPrinter::HighResolution);
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(QString::fromLocal8Bit(argv[1]));
        device.setResolution(carlume::kPdfResolution);
        device.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                         QMarginsF(36, 36, 36, 36), QPageLayout::Point));
        carlume::TPrinter printer(device);
        carlume::TVinRecord record;
        FillRecord(record, kind == "long");
        carlume::PrintVehicleDetailReport(record, kind == "long", static_cast<std::int32_t>(size), printer);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "print_report: %s\n", error.what());
        return 1;
    }
    return 0;
}
