# The Debian package: `cpack -G DEB` in a configured build tree.
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR "The Morvane developers")
# A name and an address that Debian's tools can parse: the project's, so that
# no one person's address goes out with every copy.
set(CPACK_PACKAGE_CONTACT "Morvane developers <morvane@users.noreply.github.io>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Morvane integrates the Lotka-Volterra pair of two interacting populations
with the explicit Euler step and draws both trajectories with graduated axes.
A moment marked on the graph divides both populations by a chosen divisor in
every later run. Started with -Debug it opens the full edition, with a staged,
animated calculation, statistics and a debug log. The lab window shows the
phase plane with the direction field, the nullclines and the exact orbit,
with sliders that recompute at once, and compares the explicit Euler step,
the semi-implicit one and Runge-Kutta 4. The graph and its numbers can be
saved as PNG, SVG and CSV, from the window or, without one, with the command
morvane-export. The interface is in Russian.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

# morvane_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The runtime dependencies come from dpkg-shlibdeps reading the executables,
# so they follow whatever Qt and C++ runtime the package was built against;
# Qt SVG (libqt6svg6) comes in that way, linked by both programs.
# morvane-export needs no display: its offscreen platform plugin ships with
# libqt6gui6, which the same reading brings.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, so no linker dependency
# names them: without them the program cannot open a window on a desktop.
# Qt's own Russian texts (dialogs, context menus) come from a data package
# that no linker reading finds either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
# The windows are laid out for Liberation Sans, which Qt would otherwise
# replace with whatever sans serif the machine has.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")

include(CPack)
