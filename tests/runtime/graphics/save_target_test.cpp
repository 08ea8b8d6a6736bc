// Saving over a name that already means something: the save replaces what
// writing the file would write and keeps the replaced file's identity, refuses
// what the user may not write, names the system's reason for every failure,
// and leaves nothing behind when the program is killed.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/gdi32.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/system_reason.h"
#include "runtime/graphics/image.h"
#include "runtime/graphics/image_save.h"
#include "runtime/graphics/png_encoder.h"
#include "support/image_readers.h"
#include "support/main_heap_fixture.h"

namespace {

constexpr uid_t NOBODY = 65534;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

Bytes old_picture() { return Bytes{'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}; }

bool is_bmp(const Bytes& file) { return file.size() > 2 && file[0] == 'B' && file[1] == 'M'; }

struct Status {
  mode_t mode = 0;
  uid_t owner = 0;
  gid_t group = 0;
  nlink_t links = 0;
};

Status status_of(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return {};
  return {status.st_mode, status.st_uid, status.st_gid, status.st_nlink};
}

std::vector<std::string> entries_of(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return names;
  while (dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

// What a save did in a child process: its result and the reason it left.
struct ChildSave {
  int result = -1;  // -1: the child did not end normally; 77: it could not prepare
  std::string reason;
};

ChildSave save_in_child(const std::function<bool()>& prepare, const std::function<int()>& save) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    if (!prepare()) ::_exit(77);
    const int result = save();
    const std::string reason = narrow(system_reason_for_last_error());
    (void)!::write(pipe_ends[1], reason.data(), reason.size());
    ::_exit(result);
  }
  ::close(pipe_ends[1]);
  ChildSave outcome;
  char buffer[256];
  for (ssize_t got; (got = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) outcome.reason.append(buffer, got);
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status)) outcome.result = WEXITSTATUS(status);
  return outcome;
}

// An ordinary user: root gives its rights up first; anyone else already is one.
bool become_unprivileged() {
  if (::geteuid() != 0) return true;
  return ::setgid(NOBODY) == 0 && ::setuid(NOBODY) == 0;
}

class SaveTargetTest : public MainHeapTest {
 protected:
  void SetUp() override {
    MainHeapTest::SetUp();
    ASSERT_TRUE(image_library_init());
    png_encoder_register();
    ASSERT_NE(image_create(0, 64, 64), 0);
  }
  void TearDown() override {
    image_free_all();
    MainHeapTest::TearDown();
  }
  int save(const std::string& path, std::uint32_t format) {
    const std::u16string name = to_utf16(path);
    return image_save(0, name.c_str(), format);
  }
  ScratchFolder folder;
};

TEST_F(SaveTargetTest, TheReplacedFileKeepsItsPermissionBitsOwnerAndGroup) {
  const bool root = ::geteuid() == 0;
  for (std::uint32_t format : {FORMAT_BMP, FORMAT_PNG}) {
    for (mode_t mode : {0600, 0640, 0755}) {
      const std::string path = folder.file("private");
      write_file(path, old_picture());
      ASSERT_EQ(::chmod(path.c_str(), mode), 0);
      if (root) {
        ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
      }
      ASSERT_EQ(save(path, format), 1);
      const Status after = status_of(path);
      EXPECT_EQ(after.mode & 07777, mode);
      if (root) {
        EXPECT_EQ(after.owner, 1234u);
        EXPECT_EQ(after.group, 5678u);
      }
      EXPECT_EQ(is_bmp(read_file(path)), format == FORMAT_BMP);
      EXPECT_NE(read_file(path), old_picture());
      EXPECT_EQ(folder.entries(), std::vector<std::string>{"private"});
      std::remove(path.c_str());
    }
  }
  // A new file is created as any new file is: by the user's umask.
  const mode_t umask_now = ::umask(022);
  ::umask(umask_now);
  ASSERT_EQ(save(folder.file("new.bmp"), FORMAT_BMP), 1);
  EXPECT_EQ(status_of(folder.file("new.bmp")).mode & 07777, 0666 & ~umask_now);
}

TEST_F(SaveTargetTest, SymbolicLinksAreFollowedAndTheirTargetReplacedInItsOwnFolder) {
  ASSERT_EQ(::mkdir(folder.file("pictures").c_str(), 0755), 0);
  write_file(folder.file("pictures/real.png"), old_picture());
  ASSERT_EQ(::symlink("pictures/real.png", folder.file("relative.png").c_str()), 0);
  ASSERT_EQ(::symlink(folder.file("relative.png").c_str(), folder.file("chain.png").c_str()), 0);

  for (const char* link : {"relative.png", "chain.png"}) {
    write_file(folder.file("pictures/real.png"), old_picture());
    ASSERT_EQ(save(folder.file(link), FORMAT_PNG), 1) << link;
    EXPECT_TRUE(S_ISLNK(status_of(folder.file(link)).mode)) << link;
    const DecodedPng picture = decode_png(folder.file("pictures/real.png"));
    EXPECT_TRUE(picture.ok) << link;
    EXPECT_EQ(picture.width, 64u);
  }
  // A dangling link names the file to create, in the target's folder.
  ASSERT_EQ(::symlink("pictures/new.bmp", folder.file("dangling.bmp").c_str()), 0);
  ASSERT_EQ(save(folder.file("dangling.bmp"), FORMAT_BMP), 1);
  EXPECT_TRUE(S_ISLNK(status_of(folder.file("dangling.bmp")).mode));
  EXPECT_TRUE(is_bmp(read_file(folder.file("pictures/new.bmp"))));
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"chain.png", "dangling.bmp", "pictures", "relative.png"}));

  // Links in a loop name no file at all.
  ASSERT_EQ(::symlink("loop-b", folder.file("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", folder.file("loop-b").c_str()), 0);
  EXPECT_EQ(save(folder.file("loop-a"), FORMAT_BMP), 0);
  EXPECT_FALSE(system_reason_for_last_error().empty());
  EXPECT_TRUE(S_ISLNK(status_of(folder.file("loop-a")).mode));
}

TEST_F(SaveTargetTest, TheNewPictureIsANewFileWithoutTheOldOnesLinksOrExtendedAttributes) {
  // The picture is written to a new file and renamed into place, so that a
  // failed save can never destroy the old one; the other name still holds it.
  write_file(folder.file("picture.bmp"), old_picture());
  ASSERT_EQ(::link(folder.file("picture.bmp").c_str(), folder.file("other.bmp").c_str()), 0);
  const char note[] = "written by another program";
  const bool tagged = ::setxattr(folder.file("picture.bmp").c_str(), "user.note", note, sizeof note, 0) == 0;
  ASSERT_EQ(save(folder.file("picture.bmp"), FORMAT_BMP), 1);
  EXPECT_TRUE(is_bmp(read_file(folder.file("picture.bmp"))));
  EXPECT_EQ(read_file(folder.file("other.bmp")), old_picture());
  EXPECT_EQ(status_of(folder.file("picture.bmp")).links, 1u);
  if (!tagged) GTEST_SKIP() << "the folder's file system keeps no extended attributes";
  char kept[64];
  EXPECT_EQ(::getxattr(folder.file("picture.bmp").c_str(), "user.note", kept, sizeof kept), -1);
  EXPECT_EQ(errno, ENODATA);
  EXPECT_EQ(::getxattr(folder.file("other.bmp").c_str(), "user.note", kept, sizeof kept),
            static_cast<ssize_t>(sizeof note));
}

TEST_F(SaveTargetTest, AFileTheUserMayNotWriteIsRefusedWithTheSystemsReasonAndLeftAlone) {
  // A folder the ordinary user may write in, holding a write-protected file:
  // only the file's own protection stands in the way.
  const std::string shared = folder.file("shared");
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  const std::string locked = shared + "/locked.png";
  write_file(locked, old_picture());
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(locked.c_str(), NOBODY, NOBODY), 0);
  }
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);

  for (std::uint32_t format : {FORMAT_PNG, FORMAT_BMP}) {
    const ChildSave refused = save_in_child(become_unprivileged, [&] { return save(locked, format); });
    if (refused.result == 77) GTEST_SKIP() << "cannot give up root's rights (setuid to nobody failed)";
    EXPECT_EQ(refused.result, 0);
    EXPECT_EQ(refused.reason, std::strerror(EACCES));
    EXPECT_EQ(read_file(locked), old_picture());
    EXPECT_EQ(status_of(locked).mode & 07777, 0444u);
    EXPECT_EQ(entries_of(shared), std::vector<std::string>{"locked.png"});
  }
  // A file anyone may write, in a folder the user may not add files to: a
  // save makes a new file there, so it is refused too.
  const std::string closed = folder.file("closed");
  ASSERT_EQ(::mkdir(closed.c_str(), 0755), 0);
  const std::string open_file = closed + "/open.png";
  write_file(open_file, old_picture());
  ASSERT_EQ(::chmod(open_file.c_str(), 0666), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(closed.c_str(), NOBODY - 1, NOBODY - 1), 0);
  }
  ASSERT_EQ(::chmod(closed.c_str(), 0555), 0);
  const ChildSave refused = save_in_child(become_unprivileged, [&] { return save(open_file, FORMAT_PNG); });
  EXPECT_EQ(refused.result, 0);
  EXPECT_EQ(refused.reason, std::strerror(EACCES));
  EXPECT_EQ(read_file(open_file), old_picture());
  EXPECT_EQ(entries_of(closed), std::vector<std::string>{"open.png"});
  ASSERT_EQ(::chmod(closed.c_str(), 0755), 0);
}

TEST_F(SaveTargetTest, EveryFailureLeavesTheSystemsReason) {
  EXPECT_EQ(save(folder.file("missing/picture.png"), FORMAT_PNG), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(narrow(system_reason_for_last_error()), std::strerror(ENOENT));

  ASSERT_EQ(::mkdir(folder.file("taken").c_str(), 0755), 0);
  EXPECT_EQ(save(folder.file("taken"), FORMAT_BMP), 0);
  EXPECT_EQ(narrow(system_reason_for_last_error()), std::strerror(EISDIR));

  // A pipe or a device is not a file a picture can replace: a pipe nobody
  // reads is refused in the system's words, and so is any other.
  ASSERT_EQ(::mkfifo(folder.file("pipe.png").c_str(), 0644), 0);
  EXPECT_EQ(save(folder.file("pipe.png"), FORMAT_PNG), 0);
  EXPECT_EQ(narrow(system_reason_for_last_error()), std::strerror(ENXIO));
  const int reader = ::open(folder.file("pipe.png").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  for (const std::string& device : {folder.file("pipe.png"), std::string("/dev/null")}) {
    EXPECT_EQ(save(device, FORMAT_BMP), 0) << device;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED)) << device;
    EXPECT_EQ(narrow(system_reason_for_last_error()), std::strerror(EOPNOTSUPP)) << device;
  }
  char unread = 0;
  EXPECT_LE(::read(reader, &unread, 1), 0);  // nothing was written into the pipe
  ::close(reader);
  EXPECT_TRUE(S_ISFIFO(status_of(folder.file("pipe.png")).mode));
  ASSERT_EQ(std::remove(folder.file("pipe.png").c_str()), 0);

  // A file that may not grow as large as the picture, as on a full disk.
  ASSERT_NE(image_create(0, 600, 600), 0);
  for (std::uint32_t format : {FORMAT_BMP, FORMAT_PNG}) {
    const ChildSave limited = save_in_child(
        [] {
          rlimit limit{512, 512};
          return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        [&] { return save(folder.file("limited"), format); });
    EXPECT_EQ(limited.result, 0);
    EXPECT_EQ(limited.reason, std::strerror(EFBIG));
    EXPECT_FALSE(file_exists(folder.file("limited")));
  }
}

// The status of the save's temporary file in another process, as /proc shows
// the files it holds open in `folder` (the temporary may have no name there);
// the target, which the save opens for a moment, does not count. False if
// none shows up within seconds.
bool temporary_file_of(pid_t process, const std::string& target, struct stat* status) {
  const std::string folder = target.substr(0, target.rfind('/') + 1);
  const std::string descriptors = "/proc/" + std::to_string(process) + "/fd";
  for (int attempt = 0; attempt < 4000; ++attempt) {
    for (const std::string& entry : entries_of(descriptors)) {
      const std::string link = descriptors + "/" + entry;
      char name[4096];
      const ssize_t length = ::readlink(link.c_str(), name, sizeof name - 1);
      if (length <= 0) continue;
      const std::string held(name, static_cast<std::size_t>(length));
      // A file closed again since it was listed cannot be looked at: try again.
      if (held.starts_with(folder) && held != target && ::stat(link.c_str(), status) == 0) return true;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return false;
}

TEST_F(SaveTargetTest, AKilledSaveLeavesTheOldOrTheWholeNewPictureAndNothingElse) {
  // Finished saves, successful or not, are no longer watched: more of them
  // than there is room to watch must not keep later saves from being cleaned up.
  for (int save_number = 0; save_number < 40; ++save_number) {
    ASSERT_EQ(save(folder.file("earlier.bmp"), FORMAT_BMP), 1);
    ASSERT_EQ(save(folder.file("missing/earlier.bmp"), FORMAT_BMP), 0);
  }
  ASSERT_EQ(std::remove(folder.file("earlier.bmp").c_str()), 0);
  // Large and noisy, so that compressing it takes a while.
  constexpr int SIZE = 2000;
  ASSERT_NE(image_create(0, SIZE, SIZE), 0);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(image_lookup(0)->bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  auto* bits = static_cast<BYTE*>(section.dsBm.bmBits);
  std::uint32_t state = 2024;
  for (std::size_t i = 0; i < std::size_t{SIZE} * section.dsBm.bmWidthBytes; ++i) {
    state = state * 1664525u + 1013904223u;
    bits[i] = static_cast<BYTE>(state >> 24);
  }
  const std::string path = folder.file("picture.png");
  int killed_midway = 0;
  for (int signal_number : {SIGKILL, SIGTERM, SIGINT, SIGHUP}) {
    for (int delay_ms : {0, 40, 250}) {
      SCOPED_TRACE(std::string(strsignal(signal_number)) + " after " + std::to_string(delay_ms) + " ms");
      write_file(path, old_picture());
      ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
      const pid_t child = ::fork();
      if (child == 0) ::_exit(save(path, FORMAT_PNG) == 1 ? 0 : 1);
      // Even while it is being written, the new picture is no more readable
      // than the private one it replaces.
      struct stat held {};
      const bool seen = temporary_file_of(child, path, &held);
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      ::kill(child, signal_number);
      int status = 0;
      ::waitpid(child, &status, 0);
      ASSERT_TRUE(seen) << "the save never started";
      EXPECT_EQ(held.st_mode & 07777, 0600u);
      EXPECT_EQ(folder.entries(), std::vector<std::string>{"picture.png"});
      EXPECT_EQ(status_of(path).mode & 07777, 0600u);
      if (WIFSIGNALED(status)) {
        ++killed_midway;
        EXPECT_EQ(WTERMSIG(status), signal_number);  // the signal still ends the program
        if (read_file(path) == old_picture()) continue;
      }
      const DecodedPng picture = decode_png(path);
      EXPECT_TRUE(picture.ok);
      EXPECT_EQ(picture.width, static_cast<std::uint32_t>(SIZE));
    }
  }
  EXPECT_GT(killed_midway, 0) << "every save ended before its signal came";
}

}  // namespace
