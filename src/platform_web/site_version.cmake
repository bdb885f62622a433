# Writes the site's service worker: the version (a SHA-256 of every file of the site, by name
# and content) and the list of files to cache, then the worker's own code. Any change to any
# file gives a new version, which replaces the cached one whole.
#   cmake -DSITE=<site folder> -DWORKER=<tumbler_sw.js source> -P site_version.cmake
if(NOT IS_DIRECTORY "${SITE}" OR NOT EXISTS "${WORKER}")
  message(FATAL_ERROR "site_version.cmake: needs -DSITE=<folder> and -DWORKER=<file>")
endif()
file(GLOB_RECURSE files RELATIVE "${SITE}" "${SITE}/*")
list(REMOVE_ITEM files tumbler_sw.js)
list(SORT files)
set(digest "")
set(names "'./'")
foreach(f ${files})
  file(SHA256 "${SITE}/${f}" h)
  string(APPEND digest "${f} ${h}\n")
  string(APPEND names ", '${f}'")
endforeach()
string(SHA256 version "${digest}")
string(SUBSTRING "${version}" 0 16 version)
file(READ "${WORKER}" body)
file(WRITE "${SITE}/tumbler_sw.js.new"
  "const TUMBLER_SITE_VERSION = '${version}';\nconst TUMBLER_SITE_FILES = [${names}];\n${body}")
file(RENAME "${SITE}/tumbler_sw.js.new" "${SITE}/tumbler_sw.js")
message(STATUS "site version ${version}")
