#include "model/material.h"

#include "model/model.h"

void SetMaterialColor(GLenum parameter, const GLfloat* rgb, GLfloat alpha) {
    const GLfloat color[4] = {rgb[0], rgb[1], rgb[2], alpha};
    glMaterialfv(GL_FRONT_AND_BACK, parameter, color);
}

void SelectMaterial(int index) {
    const ModelMaterial& material = g_materials[index];
    glEnd();
    SetMaterialColor(GL_AMBIENT, material.ambient, material.alpha);
    SetMaterialColor(GL_DIFFUSE, material.diffuse, material.alpha);
    SetMaterialColor(GL_SPECULAR, material.specular, material.alpha);
    SetMaterialColor(GL_EMISSION, material.emission, material.alpha);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
    glBegin(GL_TRIANGLES);
}
