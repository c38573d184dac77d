// The dialog templates of the control module, shared by its resource script and the code
// that runs them. Item ids are the presenters' own (images/).
#pragma once

#define IDD_PHOTO_EDITOR 201
#define IDD_IMAGE_TYPE_PAGE 221
#define IDD_IMAGE_RESIZE 222
#define IDD_IMAGE_PROPERTY 230
#define IDD_IMAGE_PROPERTY_PAGE 231
