# The Debian package that CPack's DEB generator makes (scripts/package.sh drives it).
set(TSL_DEB_RELEASE 1)
set(TSL_DEB_VERSION ${PROJECT_VERSION}-${TSL_DEB_RELEASE})
set(TSL_DEB_MAINTAINER "Проект «Целитор» <packages@celitor.example>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tsldemo)
set(CPACK_PACKAGE_VENDOR "Проект «Целитор»")
set(CPACK_PACKAGE_CONTACT ${TSL_DEB_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TSL_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TSL_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://celitor.example/)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries from dpkg-shlibdeps; the fonts the windows ask for (Times New Roman and Arial
# Narrow resolve to Liberation, Tahoma and Qt's own texts to DejaVu) and Qt's Russian
# texts are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "offline questions and answers on health, in Russian
Tselitor (Целитор) is the demonstration version of a reference program with a
Russian interface. The user types a question about health; while typing, a
list shows every known phrase that begins with the text, and Enter answers
from the plain-text knowledge base installed with the program, optionally
opening a longer article in a built-in viewer. It works without a network.
.
The package also holds tsldemo-check, which lists the lines of a knowledge
base that the program can never answer.")
