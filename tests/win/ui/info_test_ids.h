#pragma once
// Resources of the test programs only.
// 16 x 16 JPEG in quadrants: red top left, blue top right, green bottom left,
// white bottom right. Made with ImageMagick:
//   convert -size 8x8 xc:'#ff0000' xc:'#0000ff' +append
//     ( -size 8x8 xc:'#00ff00' xc:'#ffffff' +append ) -append
//     -strip -sampling-factor 1x1 -quality 100 quadrants.jpg
#define kTestJpgQuadrants 2990
