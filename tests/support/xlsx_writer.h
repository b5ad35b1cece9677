#pragma once
// A minimal .xlsx (one worksheet, shared strings optional) made in memory through GDAL's zip
// writer, for tests and fuzz seeds: the program only reads workbooks, but its reader needs one.
#include <QByteArray>
#include <cpl_vsi.h>

namespace miratos::test_support {

// The bytes of the workbook; empty when GDAL could not make it.
inline QByteArray xlsxBytes(const QByteArray& sheetData, const QByteArray& sharedStrings = {})
{
    const char* const file = "/vsimem/miratos_test_book.xlsx";
    VSIUnlink(file);
    const QByteArray zip = QByteArray("/vsizip/{") + file + "}/";
    auto member = [&zip](const char* name, const QByteArray& bytes) {
        VSILFILE* f = VSIFOpenL((zip + name).constData(), "wb");
        if (!f)
            return false;
        const bool written = VSIFWriteL(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
        return VSIFCloseL(f) == 0 && written;
    };
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    const QByteArray ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    bool ok = member("[Content_Types].xml",
                     head + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                            "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    ok = ok && member("xl/workbook.xml", head + "<workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rels +
                                             "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    ok = ok && member("xl/_rels/workbook.xml.rels",
                      head + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                             "<Relationship Id=\"rId1\" Type=\"" + rels + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                             "</Relationships>");
    ok = ok && member("xl/worksheets/sheet1.xml",
                      head + "<worksheet xmlns=\"" + ns + "\"><sheetData>" + sheetData + "</sheetData></worksheet>");
    if (ok && !sharedStrings.isEmpty())
        ok = member("xl/sharedStrings.xml", head + "<sst xmlns=\"" + ns + "\">" + sharedStrings + "</sst>");
    vsi_l_offset length = 0;
    GByte* data = ok ? VSIGetMemFileBuffer(file, &length, FALSE) : nullptr;
    const QByteArray bytes = data ? QByteArray(reinterpret_cast<const char*>(data), qsizetype(length)) : QByteArray();
    VSIUnlink(file);
    return bytes;
}

} // namespace miratos::test_support
