#include "tests/support/pdf_printer.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace carlume::test {

namespace {

QByteArray RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}

QString PathText(const std::filesystem::path& file)
{
    return QString::fromStdString(file.string());
}

} // namespace

TPdfPrinterService::TPdfPrinterService(const std::filesystem::path& file, int resolution)
    : file_(file)
    , device_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    device_->setOutputFormat(QPrinter::PdfFormat);
    device_->setOutputFileName(PathText(file_));
    device_->setResolution(resolution);
    device_->setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                       QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints),
                                       QPageLayout::Point));
    printer_ = std::make_unique<TPrinter>(*device_);
}

TPdfPrinterService::~TPdfPrinterService()
{
    if (!answers_.empty()) {
        ADD_FAILURE() << "the printer fake still holds " << answers_.size()
                      << " print-dialog answer(s) that no window asked for";
    }
}

bool TPdfPrinterService::ExecutePrintDialog(QWidget*)
{
    ++dialogCount_;
    if (answers_.empty()) {
        ADD_FAILURE() << "unscripted print dialog";
        return false;
    }
    const bool print = answers_.front();
    answers_.pop_front();
    return print;
}

int PdfPageCount(const std::filesystem::path& file)
{
    const QByteArray info = RunTool(QStringLiteral("pdfinfo"), {PathText(file)});
    for (const QByteArray& line : info.split('\n')) {
        if (line.startsWith("Pages:")) {
            bool ok = false;
            const int pages = line.mid(6).trimmed().toInt(&ok);
            return ok ? pages : -1;
        }
    }
    return -1;
}

std::vector<TPdfWord> PdfWords(const std::filesystem::path& file)
{
    std::vector<TPdfWord> words;
    QXmlStreamReader xml(
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), PathText(file), QStringLiteral("-")}));
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto attributes = xml.attributes();
            TPdfWord word;
            word.Page = page;
            word.XMin = attributes.value(QLatin1String("xMin")).toDouble();
            word.YMin = attributes.value(QLatin1String("yMin")).toDouble();
            word.XMax = attributes.value(QLatin1String("xMax")).toDouble();
            word.YMax = attributes.value(QLatin1String("yMax")).toDouble();
            word.Text = xml.readElementText().toStdString();
            words.push_back(word);
        }
    }
    return words;
}

std::string PdfText(const std::filesystem::path& file)
{
    return RunTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), PathText(file), QStringLiteral("-")})
        .toStdString();
}

} // namespace carlume::test
