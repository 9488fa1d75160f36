#include <algorithm>

#include "render/RenderModule.h"
#include "render/RenderResources.h"

namespace vesta {

MeshBuffer::~MeshBuffer() {
    if (m_device) {
        m_module.freeDeviceBuffer(m_device);
    }
}

bool MeshBuffer::Create(bool writeOnly, int vertexCount, int indexCount, bool pointSprite) {
    m_writeOnly = writeOnly;
    m_vertexCount = vertexCount;
    m_indexCount = indexCount;
    m_triangleCount = indexCount / 3;
    m_pointSprite = pointSprite;
    m_vertexFormat = pointSprite ? kPointSpriteFormat : kRenderVertexFormat;
    const std::size_t stride = pointSprite ? sizeof(PointSpriteVertex) : sizeof(RenderVertex);
    m_vertices.assign(stride * static_cast<std::size_t>(std::max(vertexCount, 0)), 0);
    m_indices.assign(static_cast<std::size_t>(std::max(indexCount, 1)), 0);
    if (m_device) {
        m_module.freeDeviceBuffer(m_device);
    }
    m_device = m_module.allocateDeviceBuffer(m_vertices.size(), static_cast<int>(m_indices.size()));
    UnlockVertices();
    UnlockIndices();
    return true;
}

void MeshBuffer::UnlockVertices() {
    m_module.updateDeviceVertices(m_device, m_vertices.data(), m_vertices.size());
}

void MeshBuffer::UnlockIndices() {
    m_module.updateDeviceIndices(m_device, m_indices.data(), static_cast<int>(m_indices.size()));
}

void MeshBuffer::DrawPrimitives(PrimitiveType type, int vertexCount, int indexCount) {
    // Indexed draws take their primitive count from the indices, and never
    // read past the buffer's own.
    const bool indexed = indexCount > 0;
    const int count =
        indexed ? std::min(indexCount, static_cast<int>(m_indices.size()))
                : std::min(vertexCount, static_cast<int>(m_vertices.size() / sizeof(RenderVertex)));
    m_module.drawBuffer(m_device, type, VertexLayout::Render, indexed, count);
}

void MeshBuffer::DrawTriangles(int) {
    DrawPrimitives(PrimitiveType::TriangleList, m_vertexCount, m_triangleCount * 3);
}

void MeshBuffer::DrawPoints(int count) {
    const int points = count < 0 ? m_vertexCount : std::min(count, m_vertexCount);
    m_module.drawBuffer(m_device, PrimitiveType::PointList, VertexLayout::PointSprite, false,
                        points);
}

}  // namespace vesta
