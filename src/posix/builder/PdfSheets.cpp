#include "posix/builder/PdfSheets.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// qpdf 11 keeps its old pointer type only for code that asks for it; this asks for none.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAnnotationObjectHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "core/library/LibraryNaming.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

using Object = QPDFObjectHandle;

Object Destination(const Object& sheet) {
    Object destination = Object::newArray();
    destination.appendItem(sheet);
    destination.appendItem(Object::newName("/XYZ"));
    destination.appendItem(Object::newNull());
    destination.appendItem(Object::newNull());
    destination.appendItem(Object::newNull());
    return destination;
}

// The outline items of `marks` under `parent`; returns how many items they open to.
int AddMarks(QPDF& pdf, const std::vector<PrintedMark>& marks, Object parent,
             const std::vector<Object>& firstSheets) {
    Object previous;
    int count = 0;
    for (const PrintedMark& mark : marks) {
        Object item = pdf.makeIndirectObject(Object::newDictionary());
        item.replaceKey("/Title", Object::newUnicodeString(mark.title));
        item.replaceKey("/Parent", parent);
        item.replaceKey("/Dest", Destination(firstSheets[mark.page]));
        if (previous.isInitialized()) {
            previous.replaceKey("/Next", item);
            item.replaceKey("/Prev", previous);
        } else {
            parent.replaceKey("/First", item);
        }
        parent.replaceKey("/Last", item);
        if (!mark.children.empty()) {
            // Folders stand open, as the book's tree first shows them.
            int below = AddMarks(pdf, mark.children, item, firstSheets);
            item.replaceKey("/Count", Object::newInteger(below));
            count += below;
        }
        ++count;
        previous = item;
    }
    return count;
}

// The page of the book a link's address leads to, if any.
std::optional<std::size_t> LinkedPage(std::string uri, const std::map<std::string, std::size_t>& pages) {
    if (!uri.starts_with("file://")) {
        return std::nullopt;
    }
    uri = uri.substr(7, uri.find_first_of("#?") == std::string::npos ? std::string::npos
                                                                      : uri.find_first_of("#?") - 7);
    auto found = pages.find(PercentDecode(uri));
    return found == pages.end() ? std::nullopt : std::optional(found->second);
}

}  // namespace

std::string WritePdfBook(const PrintedBook& book, const std::vector<std::string>& prints) {
    std::string temporary = book.output.substr(0, book.output.rfind('/') + 1) + ".wisp-pdf-XXXXXX";
    try {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFPageDocumentHelper sheets(pdf);
        // The sources give their pages' contents to the book until it is written.
        std::vector<std::unique_ptr<QPDF>> sources;
        std::vector<std::size_t> firstSheetIndex;
        std::size_t sheetCount = 0;
        std::string version = "1.4";
        for (std::size_t i = 0; i < prints.size(); ++i) {
            auto source = std::make_unique<QPDF>();
            source->processMemoryFile(book.pages[i].path.c_str(), prints[i].data(), prints[i].size());
            version = std::max(version, source->getPDFVersion());
            firstSheetIndex.push_back(sheetCount);
            for (QPDFPageObjectHelper& sheet : QPDFPageDocumentHelper(*source).getAllPages()) {
                sheets.addPage(sheet, false);
                ++sheetCount;
            }
            sources.push_back(std::move(source));
        }
        std::vector<QPDFPageObjectHelper> all = sheets.getAllPages();
        std::vector<Object> firstSheets;
        for (std::size_t index : firstSheetIndex) {
            firstSheets.push_back(all.at(index).getObjectHandle());
        }

        std::map<std::string, std::size_t> pageByPath;
        for (std::size_t i = 0; i < book.pages.size(); ++i) {
            pageByPath.emplace(book.pages[i].path, i);
        }
        for (QPDFPageObjectHelper& sheet : all) {
            for (QPDFAnnotationObjectHelper& link : sheet.getAnnotations("/Link")) {
                Object annotation = link.getObjectHandle();
                Object action = annotation.getKey("/A");
                if (!action.isDictionary() || !action.getKey("/URI").isString()) {
                    continue;
                }
                std::string uri = action.getKey("/URI").getUTF8Value();
                if (auto page = LinkedPage(uri, pageByPath)) {
                    annotation.removeKey("/A");
                    annotation.replaceKey("/Dest", Destination(firstSheets[*page]));
                } else if (auto address =
                               book.linkElsewhere ? book.linkElsewhere(uri) : std::nullopt) {
                    action.replaceKey("/URI", Object::newString(*address));
                }
            }
        }

        Object root = pdf.getRoot();
        Object outlines = pdf.makeIndirectObject(Object::newDictionary());
        outlines.replaceKey("/Type", Object::newName("/Outlines"));
        int count = AddMarks(pdf, book.marks, outlines, firstSheets);
        if (count > 0) {
            outlines.replaceKey("/Count", Object::newInteger(count));
            root.replaceKey("/Outlines", outlines);
            root.replaceKey("/PageMode", Object::newName("/UseOutlines"));
        }
        if (!book.language.empty()) {
            root.replaceKey("/Lang", Object::newUnicodeString(book.language));
        }
        Object info = pdf.makeIndirectObject(Object::newDictionary());
        info.replaceKey("/Title", Object::newUnicodeString(book.title));
        info.replaceKey("/Creator", Object::newUnicodeString("Wisp"));
        pdf.getTrailer().replaceKey("/Info", info);
        // The reader's viewer shows the title rather than the file name.
        Object preferences = Object::newDictionary();
        preferences.replaceKey("/DisplayDocTitle", Object::newBool(true));
        root.replaceKey("/ViewerPreferences", preferences);

        int fd = ::mkstemp(temporary.data());
        if (fd < 0) {
            return "cannot write " + book.output + ": " + std::strerror(errno);
        }
        ::close(fd);
        QPDFWriter writer(pdf, temporary.c_str());
        writer.setMinimumPDFVersion(version);
        writer.write();
    } catch (const std::exception& failure) {
        if (temporary.find("XXXXXX") == std::string::npos) {
            ::unlink(temporary.c_str());
        }
        return "cannot join the printed pages: " + std::string(failure.what());
    }
    ::chmod(temporary.c_str(), 0644);
    if (std::rename(temporary.c_str(), book.output.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return "cannot put the book in place as " + book.output;
    }
    return {};
}

}  // namespace wisp
