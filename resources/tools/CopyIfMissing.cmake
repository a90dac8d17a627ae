# cmake -DSOURCE=... -DDEST=... -P CopyIfMissing.cmake
# The program folder's settings and database belong to the user once they exist: a rebuild never
# replaces them.
if(NOT EXISTS "${DEST}")
  get_filename_component(dir "${DEST}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SOURCE}" "${DEST}")
endif()
