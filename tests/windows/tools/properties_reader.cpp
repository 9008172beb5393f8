// Prints what Windows shows of a program under Properties, Details, read
// through the system's version API, and what the program's manifest asks of
// the loader, read through the activation context API: one "name=value" line
// each. A part that cannot be read is named on standard error, and the status
// is then 1.
// Usage: properties_reader PROGRAM
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <stdio.h>
#include <vector>
#include <windows.h>

namespace {

bool fail(const char *what) {
  fprintf(stderr, "%s (error %lu)\n", what, GetLastError());
  return false;
}

bool print_version_resource(const char *program) {
  DWORD ignored;
  const DWORD size = GetFileVersionInfoSizeA(program, &ignored);
  if (size == 0)
    return fail("no version resource");
  std::vector<char> resource(size);
  if (!GetFileVersionInfoA(program, 0, size, resource.data()))
    return fail("version resource unreadable");

  void *value;
  UINT length;
  if (!VerQueryValueA(resource.data(), "\\", &value, &length) ||
      length < sizeof(VS_FIXEDFILEINFO))
    return fail("no fixed file information");
  const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
  printf("FixedFileVersion=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
         LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
         LOWORD(fixed->dwFileVersionLS));

  // The strings are looked up under the first language the resource lists,
  // as Explorer does.
  struct Translation {
    WORD language;
    WORD code_page;
  };
  if (!VerQueryValueA(resource.data(), "\\VarFileInfo\\Translation", &value,
                      &length) ||
      length < sizeof(Translation))
    return fail("no translation listed");
  const auto *translation = static_cast<const Translation *>(value);
  bool complete = true;
  for (const char *name : {"FileDescription", "FileVersion", "ProductName",
                           "ProductVersion", "OriginalFilename"}) {
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s",
             translation->language, translation->code_page, name);
    if (VerQueryValueA(resource.data(), query, &value, &length) && length > 0)
      printf("%s=%s\n", name, static_cast<const char *>(value));
    else
      complete = fail(query);
  }
  return complete;
}

const char *run_level_name(ACTCTX_REQUESTED_RUN_LEVEL level) {
  switch (level) {
  case ACTCTX_RUN_LEVEL_AS_INVOKER:
    return "asInvoker";
  case ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE:
    return "highestAvailable";
  case ACTCTX_RUN_LEVEL_REQUIRE_ADMIN:
    return "requireAdministrator";
  default:
    return "unspecified";
  }
}

bool print_manifest(const char *program) {
  ACTCTXA request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = program;
  request.lpResourceName = MAKEINTRESOURCEA(1); // the one a process starts with
  const HANDLE context = CreateActCtxA(&request);
  if (context == INVALID_HANDLE_VALUE)
    return fail("no manifest the loader accepts");

  bool complete = true;
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION run_level;
  SIZE_T written;
  if (QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext,
                   &run_level, sizeof run_level, &written))
    printf("RunLevel=%s\n", run_level_name(run_level.RunLevel));
  else
    complete = fail("no run level");

  // Only the count is read: the elements' layout differs between headers.
  SIZE_T needed = 0;
  QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
               nullptr, 0, &needed);
  std::vector<char> compatibility(needed > sizeof(DWORD) ? needed
                                                         : sizeof(DWORD));
  if (QueryActCtxW(0, context, nullptr,
                   CompatibilityInformationInActivationContext,
                   compatibility.data(), compatibility.size(), &written))
    printf(
        "SupportedOS=%lu\n",
        reinterpret_cast<const ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION *>(
            compatibility.data())
            ->ElementCount);
  else
    complete = fail("no compatibility information");
  ReleaseActCtx(context);
  return complete;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: properties_reader PROGRAM\n");
    return 2;
  }
  const bool version_read = print_version_resource(argv[1]);
  const bool manifest_read = print_manifest(argv[1]);
  return version_read && manifest_read ? 0 : 1;
}
