// Every Qt Widgets header starts by including this one. The toolkit-free library puts
// this folder ahead of Qt's own, so any widget header that reaches it stops the build.
#error "The memo controller talks to the window through MemoView and never includes Qt Widgets"
