# Installing Quillory as a desktop program: the executables, the help topics,
# the menu entry, the icon at the theme's sizes, the data-set file type,
# the software-centre metadata and the manual pages; and a Debian package
# of the same tree (cpack -G DEB).
include(GNUInstallDirs)

set(QUILLORY_APP_ID org.korvan.Quillory)
set(QUILLORY_ICON_SIZES 16 22 24 32 48 64 128 256)
set(QUILLORY_LINUX_RES ${PROJECT_SOURCE_DIR}/res/linux)

install(TARGETS quillory RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qly)
  install(TARGETS qly RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # qly hands PDF files and calendars to qly-full, which it finds here.
  install(TARGETS qly-full RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quillory)
  install(FILES ${PROJECT_SOURCE_DIR}/res/completion/qly DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

# The topics are also inside the program; installed, they are found beside it.
file(GLOB QUILLORY_HELP_TOPICS ${PROJECT_SOURCE_DIR}/res/help/*.html)
install(FILES ${QUILLORY_HELP_TOPICS} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillory/help)

install(FILES ${QUILLORY_LINUX_RES}/${QUILLORY_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLORY_LINUX_RES}/${QUILLORY_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUILLORY_LINUX_RES}/${QUILLORY_APP_ID}.mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${QUILLORY_APP_ID}.xml)
install(FILES ${PROJECT_SOURCE_DIR}/res/icons/app.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${QUILLORY_APP_ID}.svg)

# The PNG icons are drawn from the SVG at build time.
add_executable(rendericon ${PROJECT_SOURCE_DIR}/tools/rendericon.cpp)
target_link_libraries(rendericon PRIVATE Qt6::Gui Qt6::Svg)
set(QUILLORY_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(QUILLORY_ICON_PNGS)
foreach(size IN LISTS QUILLORY_ICON_SIZES)
  list(APPEND QUILLORY_ICON_PNGS ${QUILLORY_ICON_DIR}/${size}x${size}/apps/${QUILLORY_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${QUILLORY_ICON_PNGS}
  COMMAND rendericon ${PROJECT_SOURCE_DIR}/res/icons/app.svg ${QUILLORY_ICON_DIR} ${QUILLORY_APP_ID} ${QUILLORY_ICON_SIZES}
  DEPENDS rendericon ${PROJECT_SOURCE_DIR}/res/icons/app.svg
  COMMENT "Rendering the application icon")
foreach(size IN LISTS QUILLORY_ICON_SIZES)
  install(FILES ${QUILLORY_ICON_DIR}/${size}x${size}/apps/${QUILLORY_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages, compressed as Debian installs them.
file(GLOB QUILLORY_MAN_PAGES ${PROJECT_SOURCE_DIR}/res/man/*.1)
set(QUILLORY_MAN_GZ)
foreach(page IN LISTS QUILLORY_MAN_PAGES)
  get_filename_component(name ${page} NAME)
  set(gz ${CMAKE_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${page} > ${gz}
    DEPENDS ${page})
  list(APPEND QUILLORY_MAN_GZ ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(quillory_install_files ALL DEPENDS ${QUILLORY_ICON_PNGS} ${QUILLORY_MAN_GZ})

set(CPACK_PACKAGE_NAME quillory)
set(CPACK_PACKAGE_VENDOR KORVAN)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "time tracker and invoicer for freelancers and small firms")
set(CPACK_PACKAGE_DESCRIPTION "Quillory records the time spent on projects, charges it to customers at an
hourly price and turns it into invoices, reports, a week chart, a pie chart
and exports for spreadsheets. The qly command works on the same data sets
from a terminal.")
set(CPACK_PACKAGE_CONTACT "Quillory developers <quillory@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillory.example.org/)
# The libraries come from the executables. The SVG plugins that draw the
# icons are loaded, not linked, and the fonts the printouts are laid out with
# and the icon theme's folders are no libraries at all. libical, which reads
# and writes calendars, is linked; the time zones of the calendars it reads
# come from the system's zone database. ICU, which sorts names and names
# the days in the user's language, is loaded when first needed, by the
# version the program was built with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
find_package(ICU REQUIRED COMPONENTS uc)
string(REGEX MATCH "^[0-9]+" QUILLORY_ICU_MAJOR "${ICU_VERSION}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6svg6, fonts-liberation, hicolor-icon-theme, libical3, libicu${QUILLORY_ICU_MAJOR}, tzdata")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
