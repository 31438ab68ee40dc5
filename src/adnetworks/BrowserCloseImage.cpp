// Written by tools/make-browser-close-image: the 32 x 32 close button of the
// in-application browser, a PNG as Base64 text. Run the tool again to
// change it rather than editing this file.
#include "adnetworks/BrowserCloseImage.h"

const char* const kBrowserCloseImagePNGBase64 =
    "iVBORw0KGgoAAAANSUhEUgAAACAAAAAgCAYAAABzenr0AAADr0lEQVR42tVXX0hTURz2wR4CfRBR"
    "EEVQY2XG1NwMlaZmyiREEpKEBCNEEK1I8GVqgyQUtiwIexz5f85ZDyaJhtBr9jxCtvIfogQqKAo+"
    "nPaN87ueu3t3tzV76IMP7j2/3+/7fvfcc87d4uL+NzDGUvys9bPDz17ODj6W8q9M42FyfHz8jYUB"
    "z0FD8edifnJy8uT09PQ3ixKoQW1MU31wcPBFFN3c3GJOp4tZLM9Zc/NDVlfXECCuMYYYckRwjZRo"
    "zXVHR0c/SWRjY5MNDtpYbW1dREQuaghcSxfxkx8eHv6i4vn5z8xsrmM1NXeiImpQS+Ca4Wdid3f3"
    "KxWNj0+yqipzTIQGAdqa5h6Px0rJc3OfWGVl9bkQWgR4qJp3d3df9G+hfSStr2+wiorbzGS6JXFo"
    "6E2A4pga1fKgBU2+TffhpWhgZWXlJXVptb5gZWUVEu3219ITzM5+lMVEIkZAjRiDJgFeigZ2dnY8"
    "CK6trbOSkpsy2myvZFvL7f6gyMGYCNQE50AbgJfMvKurK58KHY73rLi4VMGZGbfMAPeRxERCmwBP"
    "qQGn0/mYAu3tnayo6IYqXa4ZmRHu1cZC1UObAE+pgYWFhbcUqK42s8JCY0hOT7tCHr+IadVCmwBP"
    "qYHl5WVpsxYUGJhef12TU1PTCnOMhauDNgGeUgNLS0uSol5fyPLy8jU5OelUNICxcHXQJsBTasDt"
    "djsoYDJVstzcayE5MTEV8hUgplUL7bOd5HZIDdjt9n4KtLQ8YjrdVVWKxyod1WpjoeqhfXZO2Pul"
    "BsrLyxspMDz8juXkXFZwbGxcZoT7SGIioU2Ap3gUGLa3t38g4PX6WFbWJRn7+qwyg9HRMUUOxkSg"
    "JjgH2gC84Ck2kCGug87OpywzM0tiT0+fJDwyMiqLiUSMgBoxBs2g958hOw0TExPv0cfI6/UGitLT"
    "MyVaLL0BimNqVMuDFjTpYwQvtQ+iXpwFvMe0tIxzobhG+NPr1Rq44GeDz+f7Tsn4rKampsVEaBCg"
    "DQ/upYpso9HYtre3tyW+cwglJ6dGRdSIawKa0IZHuF9lhsbGxmdiE6urq6y1tY0lJSVHROSiRjSH"
    "ZvDK10IpuhVfBzVis9lZff1d/8FyRTLENcYQE41p2vmTl0b71wDdNmHR0O6IBqjhC64pmidXrAks"
    "moSEhAcQo8NKC8hBLmr4gsuO9d/ZBb5tINaE6RwYGBiEyeLiogvENcb4VDfxXL3Wav9bZPDprOEm"
    "9zkb+JhBccKFwR+qYjx0g+bGYQAAAABJRU5ErkJggg==";
