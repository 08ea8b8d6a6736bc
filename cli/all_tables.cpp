#include "cli/all_tables.h"

#include <string>
#include <vector>

#include "cli/file_identity.h"
#include "cli/load_reports.h"
#include "cli/offscreen_render.h"
#include "cli/system_names.h"
#include "cli/table_file_names.h"
#include "cli/terminal_text.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/system_reason.h"
#include "runtime/graphics/encoder_table.h"

namespace {

bool is_folder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD attributes_of(const std::string& name) { return GetFileAttributesW(name_from_system(name).c_str()); }

// A missing folder is made (one level, as mkdir does) once the tables are
// known, so that a file that cannot be read leaves no empty folder behind.
bool make_folder(const std::string& name, std::FILE* errors) {
  if (is_folder(attributes_of(name)) || CreateDirectoryW(name_from_system(name).c_str(), nullptr)) return true;
  std::fprintf(errors, "ifs-render: --all cannot make the folder %s: %s\n", terminal_text(name_from_system(name)).c_str(),
               terminal_text(system_reason_for_last_error()).c_str());
  return false;
}

// A seven-number file's one table is named after the file, without its folder and extension.
std::u16string name_of_file(const std::string& file) {
  if (file == STANDARD_STREAM) return u"table";
  const std::u16string name = name_from_system(file);
  const std::size_t slash = name.find_last_of(u"/\\");
  std::u16string base = slash == std::u16string::npos ? name : name.substr(slash + 1);
  const std::size_t dot = base.rfind(u'.');
  if (dot != std::u16string::npos && dot > 0) base.resize(dot);
  return base;
}

std::string folder_file(const std::string& folder, const std::u16string& file) {
  const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  return folder + (separated ? "" : "/") + name_to_system(file);
}

// One table: drawn and saved, or said why not; true when written. The table
// is loaded by its place; `remade_name` is the --name its Comment needs to
// draw it again.
bool write_table_picture(const RenderOptions& options, LoadRequest load, const std::string& remade_name,
                         const std::string& picture, const FileIdentity& input, std::FILE* errors) {
  if (same_file(file_identity_of_name(picture), input)) {
    std::fprintf(errors, "ifs-render: %s is the .ifs file being read\n", terminal_text(name_from_system(picture)).c_str());
    return false;
  }
  RenderOptions one = options;
  one.mode = MODE_RENDER;
  one.output = picture;
  one.table_name = remade_name;
  return command_line_render_request(one, load, errors) == EXIT_RENDERED;
}

}  // namespace

int render_all_tables(const RenderOptions& options, std::FILE* in, std::FILE* errors) {
  const std::string shown_folder = terminal_text(name_from_system(options.all_folder));
  const DWORD attributes = attributes_of(options.all_folder);
  if (attributes != INVALID_FILE_ATTRIBUTES && !is_folder(attributes)) {
    std::fprintf(errors, "ifs-render: --all needs an existing folder, not %s\n", shown_folder.c_str());
    return EXIT_SAVE_FAILED;
  }
  StreamInput input;
  LoadRequest load;
  if (!command_line_prepare_load(options, in, input, load, errors)) return EXIT_LOAD_FAILED;
  const std::optional<std::vector<std::u16string>> listed = command_line_table_names(load, errors);
  if (!listed) return EXIT_LOAD_FAILED;
  if (!make_folder(options.all_folder, errors)) return EXIT_SAVE_FAILED;
  const bool library = !listed->empty();
  const std::vector<std::u16string> names = library ? *listed : std::vector{name_of_file(options.files.front())};
  const std::vector<std::u16string> files =
      table_file_names(names, options.format == FORMAT_BMP ? u".bmp" : u".png");
  const FileIdentity source = options.files.front() == STANDARD_STREAM ? FileIdentity{}
                                                                        : file_identity_of_name(options.files.front());
  std::size_t written = 0;
  for (std::size_t index = 0; index < names.size(); ++index) {
    if (library) load.table_index = static_cast<std::int64_t>(index);
    const std::string picture = folder_file(options.all_folder, files[index]);
    // Without --name the Comment draws the first table, which is right for it alone.
    const std::string remade_name = library && index > 0 ? name_to_system(names[index]) : std::string();
    const bool done = write_table_picture(options, load, remade_name, picture, source, errors);
    written += done;
    std::fprintf(errors, "ifs-render: [%zu/%zu] %s: %s\n", index + 1, names.size(), terminal_text(names[index]).c_str(),
                 done ? terminal_text(name_from_system(picture)).c_str() : "not written");
  }
  std::fprintf(errors, "ifs-render: %zu of %zu %s written to %s\n", written, names.size(),
               names.size() == 1 ? "table" : "tables", shown_folder.c_str());
  return written == names.size() ? EXIT_RENDERED : EXIT_SAVE_FAILED;
}
