#include "platform/unzip/unzip_module.h"
#include "common/path_pieces.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "eunzip32.h"
#include "platform/platform_log.h"
#include "platform/prompts/prompts.h"

namespace lyricade {
namespace {

struct ModuleCloser {
  void operator()(void* handle) const { ::dlclose(handle); }
};
using ModuleHandle = std::unique_ptr<void, ModuleCloser>;

std::string Format(const char* pattern, const char* value) {
  const int size = std::snprintf(nullptr, 0, pattern, value);
  if (size <= 0) return pattern;
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, value);
  text.resize(static_cast<size_t>(size));
  return text;
}


struct PassContext {
  const std::function<void(const UnzipMemberReport&)>* OnMember = nullptr;
};

void PrintNothing(void*, const char*, size_t) {}

int AnswerYes(void*, const char*) { return 1; }

// "Yes" to a password question, with nothing to give: the member then fails
// as encrypted rather than the pass waiting on the host.
int AnswerPassword(void*, char* buffer, size_t size, const char*) {
  if (buffer && size > 0) buffer[0] = '\0';
  return 1;
}

void HearMember(void* user, const EunzipMember* member) {
  auto* context = static_cast<PassContext*>(user);
  if (!member || !context->OnMember || !*context->OnMember) return;
  UnzipMemberReport report;
  report.Name = member->Name ? member->Name : "";
  report.Size = member->Size;
  report.ModifiedTime = member->ModifiedTime;
  report.IsFolder = member->IsFolder != 0;
  (*context->OnMember)(report);
}

}  // namespace

std::string ProgramBinaryFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string UnzipModuleFolder() {
  const std::string binary = ProgramBinaryFolder();
  if (binary.empty()) return {};
  const std::filesystem::path installed =
      (std::filesystem::path(binary) / ".." / "lib" / "lyricade").lexically_normal();
  std::error_code error;
  if (std::filesystem::exists(installed / kUnzipModuleFile, error)) return installed.string() + "/";
  return binary;
}

UnzipModule::UnzipModule(std::string moduleFolder, Prompts& prompts)
    : moduleFolder_(std::move(moduleFolder)), prompts_(prompts) {
  if (!moduleFolder_.empty() && moduleFolder_.back() != '/') moduleFolder_ += '/';
}

UnzipPassOutcome UnzipModule::RunPass(const UnzipPassRequest& request,
                                      const std::function<void(const UnzipMemberReport&)>& onMember,
                                      int* code) {
  if (code) *code = -1;
  ModuleHandle module;
  const std::string besideProgram = moduleFolder_.empty() ? std::string() : moduleFolder_ + kUnzipModuleFile;
  std::string loadError;
  if (!besideProgram.empty() && IsRegularFile(besideProgram)) {
    module.reset(::dlopen(besideProgram.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!module) {
      const char* why = ::dlerror();
      loadError = why ? why : "";
    }
  } else {
    module.reset(::dlopen(kUnzipModuleFile, RTLD_NOW | RTLD_LOCAL));
    if (!module) {
      // The loader says "No such file" only when no folder of the search
      // path holds the module; anything else is a module that is there but
      // does not load.
      const char* why = ::dlerror();
      const std::string reason = why ? why : "";
      loadError = reason;
      if (reason.empty() || reason.find("No such file") != std::string::npos) {
        qCWarning(lcPlatform, "the unzip module %s is in neither %s nor the library path: %s",
                  kUnzipModuleFile, moduleFolder_.c_str(), reason.c_str());
        prompts_.Message("Unzip",
                         Format("Cannot find %s. The Dll must be in the application directory, "
                                "the path, the Windows directory or the Windows System directory.",
                                kUnzipModuleFile));
        return UnzipPassOutcome::ModuleMissing;
      }
    }
  }
  if (!module) {
    qCWarning(lcPlatform, "the unzip module %s does not load: %s", kUnzipModuleFile,
              loadError.c_str());
    prompts_.Message("Unzip", Format("Could not load %s", kUnzipModuleFile));
    return UnzipPassOutcome::ModuleBroken;
  }
  auto entry = reinterpret_cast<EunzipEntryPoint>(::dlsym(module.get(), "Wiz_SingleEntryUnzip"));
  if (!entry) {
    qCWarning(lcPlatform, "the unzip module %s has no entry point Wiz_SingleEntryUnzip",
              kUnzipModuleFile);
    prompts_.Message("Unzip", Format("Could not load %s", kUnzipModuleFile));
    return UnzipPassOutcome::ModuleBroken;
  }

  EunzipOptions options{};
  options.StructSize = sizeof options;
  options.ArchivePath = request.Archive.c_str();
  options.ExtractFolder = request.ExtractFolder.c_str();
  options.ListOnly = request.ListOnly ? 1 : 0;
  options.RecreateFolders = request.RecreateFolders ? 1 : 0;
  options.OverwriteAll = request.OverwriteAll ? 1 : 0;
  options.MaxTotalBytes = request.MaxTotalBytes;

  PassContext context;
  context.OnMember = &onMember;
  EunzipCallbacks callbacks{};
  callbacks.StructSize = sizeof callbacks;
  callbacks.User = &context;
  callbacks.Print = PrintNothing;
  callbacks.Replace = AnswerYes;
  callbacks.Password = AnswerPassword;
  callbacks.Message = HearMember;

  std::vector<const char*> exclude;
  for (const std::string& name : request.Exclude) exclude.push_back(name.c_str());
  const int result = entry(0, nullptr, static_cast<int>(exclude.size()),
                           exclude.empty() ? nullptr : exclude.data(), &options, &callbacks);
  if (code) *code = result;
  if (result != EUNZIP_OK)
    qCWarning(lcPlatform, "the unzip module's %s pass over %s ended with code %d",
              request.ListOnly ? "listing" : "extracting", request.Archive.c_str(), result);
  return result == EUNZIP_OK ? UnzipPassOutcome::Done : UnzipPassOutcome::Partial;
}

}  // namespace lyricade
