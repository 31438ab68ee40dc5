// Perspective and look-at matrices for the 3D projection and the camera.
#pragma once

void gluPerspective(float fovy, float aspect, float zNear, float zFar);
void gluLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
               float upY, float upZ);
