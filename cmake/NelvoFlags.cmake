# One INTERFACE target carries the warnings and defines every project target uses.
add_library(nelvo_flags INTERFACE)
target_compile_options(nelvo_flags INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wshadow=local -Wno-missing-field-initializers>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)
target_compile_definitions(nelvo_flags INTERFACE
  QT_NO_FOREACH
  QT_NO_KEYWORDS
  QT_DISABLE_DEPRECATED_BEFORE=0x060000)

# Sanitizer flags as a separate target so that a single test can opt in while the
# rest of the build stays plain (used by the gateway tests in the normal build).
add_library(nelvo_sanitizers INTERFACE)
target_compile_options(nelvo_sanitizers INTERFACE
  -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
target_link_options(nelvo_sanitizers INTERFACE -fsanitize=address,undefined)

if(NELVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
