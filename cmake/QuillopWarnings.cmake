# The project's warnings, as one INTERFACE target that each of our own targets
# links privately: targets of others built alongside (googletest in the
# Windows build) keep their own flags.
#
# QUILLOP_WERROR turns the warnings into errors. CI turns it on; it is off by
# default so that a packager's newer compiler with a new warning still builds.
option(QUILLOP_WERROR "Treat the project's warnings as errors" OFF)

if(NOT TARGET quillop_warnings)
  add_library(quillop_warnings INTERFACE)
  if(MSVC)
    target_compile_options(quillop_warnings INTERFACE /W4 /permissive- /utf-8
                           $<$<BOOL:${QUILLOP_WERROR}>:/WX>)
  else()
    target_compile_options(quillop_warnings INTERFACE -Wall -Wextra -Wpedantic
                           $<$<BOOL:${QUILLOP_WERROR}>:-Werror>)
  endif()
endif()
