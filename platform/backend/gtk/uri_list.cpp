#include "platform/backend/gtk/uri_list.h"

#include <glib.h>

#include "platform/kernel32/text_conversion.h"

std::vector<std::u16string> uri_list_files(const std::string& list) {
  std::vector<std::u16string> files;
  gchar** uris = g_uri_list_extract_uris(list.c_str());
  for (gchar** uri = uris; uri && *uri; ++uri) {
    gchar* name = g_filename_from_uri(*uri, nullptr, nullptr);
    if (!name) continue;
    if (*name) files.push_back(bytes_to_utf16(name));  // names that are not UTF-8 keep their bytes
    g_free(name);
  }
  g_strfreev(uris);
  return files;
}
