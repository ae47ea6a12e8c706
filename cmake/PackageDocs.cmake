# What the package installs besides the programs, each file named here (never
# whatever lies in a folder): the samples, the user documentation, the manual
# pages and the Debian copyright and changelog. docs/design.md is the
# developers' and stays out.
find_program(LXR4_GZIP gzip REQUIRED)

set(LXR4_SAMPLE_FILES lamp.km1 lamp.truth.txt star.km1 star.truth.txt README.md)
list(TRANSFORM LXR4_SAMPLE_FILES PREPEND ${PROJECT_SOURCE_DIR}/samples/)
install(FILES ${LXR4_SAMPLE_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/lxr4/samples)

# The lamp line lists that Calibration > Line List... offers (the program holds them built in, too).
set(LXR4_LINE_LISTS Ar Cd Cu He Hg Kr Ne Xe Zn)
list(TRANSFORM LXR4_LINE_LISTS REPLACE "(.+)" "${PROJECT_SOURCE_DIR}/data/line_lists/\\1.txt")
install(FILES ${LXR4_LINE_LISTS} DESTINATION ${CMAKE_INSTALL_DATADIR}/lxr4/line_lists)

# The guide and the pictures it shows, beside it as in docs/.
install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md ${PROJECT_SOURCE_DIR}/docs/session-scripts.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(LXR4_GUIDE_IMAGES contrast cursor-on-line lamp-contrast lamp-cropped lamp-loaded lamp-strip
    line-wavelength mark-line-1 mark-line-2 printed-page readout star-bands star-loaded startup strip-name
    instrument lines-identified lines-grating-fit fits-loaded fits-import export-types)
list(TRANSFORM LXR4_GUIDE_IMAGES REPLACE "(.+)" "${PROJECT_SOURCE_DIR}/docs/images/\\1.png")
install(FILES ${LXR4_GUIDE_IMAGES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/images)

# Compressed as Debian wants them: best compression, no name or time stamp.
# lxr4_gzip(SOURCE OUTPUT): OUTPUT is built from SOURCE by `make all`.
function(lxr4_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${LXR4_GZIP} -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()

set(gz_dir ${PROJECT_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${gz_dir})
lxr4_gzip(${PROJECT_SOURCE_DIR}/docs/man/lxr4.1 ${gz_dir}/lxr4.1.gz)
lxr4_gzip(${PROJECT_SOURCE_DIR}/docs/man/lxr4-script.1 ${gz_dir}/lxr4-script.1.gz)
lxr4_gzip(${PROJECT_SOURCE_DIR}/docs/man/lxr4-reduce.1 ${gz_dir}/lxr4-reduce.1.gz)
# lxr4-script-window, the window program of lxr4-script --window, shares its page.
lxr4_gzip(${PROJECT_SOURCE_DIR}/docs/man/lxr4-script-window.1 ${gz_dir}/lxr4-script-window.1.gz)
lxr4_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${gz_dir}/changelog.Debian.gz)
add_custom_target(lxr4_package_docs ALL
  DEPENDS ${gz_dir}/lxr4.1.gz ${gz_dir}/lxr4-script.1.gz ${gz_dir}/lxr4-reduce.1.gz ${gz_dir}/lxr4-script-window.1.gz
          ${gz_dir}/changelog.Debian.gz)

install(FILES ${gz_dir}/lxr4-script.1.gz ${gz_dir}/lxr4-reduce.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(LXR4_WINDOW)
  install(FILES ${gz_dir}/lxr4.1.gz ${gz_dir}/lxr4-script-window.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${gz_dir}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package's long description (its first line is CPACK_PACKAGE_DESCRIPTION_SUMMARY).
set(CPACK_PACKAGE_DESCRIPTION
    "The Tavrin LXR-4 Spectral Calibration Program loads an object image
and a lamp image from a slit spectrograph's camera files, sums a crop
box of each into a spectrum, graphs it, fits a grating model to two
marked lamp lines and then reads out, prints and saves wavelength-
calibrated spectra as text files or new camera images.
.
lxr4 is the program's window; lxr4-script replays recorded sessions
without one; lxr4-reduce reduces a night's frames to calibrated
spectra from the command line. Two sample images, a user guide and manual pages come
with it.")
