// Reading template files into the template library.
//
// A file's root element must be named "Figures" in any letter case; every element named
// exactly "figure" below it, at any depth, is one template. Inside a figure, element names
// ignore letter case and attribute names do not. A figure is stored only when it has a
// name, at least one drawing element or reference, and no element that failed to read;
// it then replaces a template of the same name.
#pragma once

#include <filesystem>

#include "platform/xml_dom.h"
#include "templates/load_diagnostics.h"
#include "templates/template_library.h"
#include "text/string.h"

namespace vx {

// Loads every "*.xml" file of folder, in listing order, into the process-wide library.
// Reports nothing: unreadable files, other roots and bad figures are skipped; when the
// parser cannot give a document object, no further file is read. An exception (exhausted
// memory) ends the load; the templates stored until then stay. A sink (the figure checker)
// is told everything that is dropped or ignored, and where.
void LoadTemplateFolder(const VXCHAR* folder, LoadDiagnostics* sink = nullptr);

// Reads one file into the process-wide library as LoadTemplateFolder reads each of its
// files, whatever its name; call it inside a platform::XmlSession. False when the parser
// could give no document object.
bool LoadTemplateFile(const std::filesystem::path& path, LoadDiagnostics* sink = nullptr);

// Reads one figure element and stores it in library when it is valid.
void LoadFigure(const platform::XmlElement& element,
                TemplateLibrary& library = TemplateLibrary::Instance(),
                LoadDiagnostics* sink = nullptr);

// ASCII letters compared without regard to case; other code units must match exactly.
bool EqualsIgnoringCase(StringView text, const char* ascii);

}  // namespace vx
