// Every QtWidgets header starts by including this one. On the include path of
// quillory_paint it stands in for Qt's and stops the build: painting and
// PDF files must work in a program that has no widgets.
#error "quillory_paint uses QtGui only: no QtWidgets header here"
