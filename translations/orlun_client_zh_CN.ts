<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>RemoteChangeBar</name>
    <message>
        <source>Reload</source>
        <translation>重新加载</translation>
    </message>
    <message>
        <source>Accounts were changed at another workstation: %1. Reload to see them.</source>
        <translation>其他工作站修改了账户：%1。重新加载以查看。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Cannot write %1</source>
        <translation>无法写入 %1</translation>
    </message>
    <message>
        <source>Screenshot written to %1</source>
        <translation>截图已写入 %1</translation>
    </message>
    <message>
        <source>Demo client that hosts the user management module.</source>
        <translation>承载用户管理模块的演示客户端。</translation>
    </message>
    <message>
        <source>Render the form offscreen into a PNG and exit.</source>
        <translation>在屏幕外将界面渲染为 PNG 后退出。</translation>
    </message>
    <message>
        <source>file</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Seed a new store with a large site of this many 16-channel NVRs.</source>
        <translation>用指定数量的 16 通道 NVR 为新数据库填充大型站点。</translation>
    </message>
    <message>
        <source>devices</source>
        <translation>设备数</translation>
    </message>
    <message>
        <source>Accounts of the large site (with --demo-site; default 1000).</source>
        <translation>大型站点的账户数（配合 --demo-site；默认 1000）。</translation>
    </message>
    <message>
        <source>count</source>
        <translation>数量</translation>
    </message>
    <message>
        <source>The store %1 is read-only: accounts can be viewed but changes will not be saved.</source>
        <translation>数据库 %1 为只读：可以查看账户，但修改不会被保存。</translation>
    </message>
    <message>
        <source>Seeded a demo site into %1</source>
        <translation>已向 %1 填充演示站点</translation>
    </message>
    <message>
        <source>The demo site is incomplete; refused writes: %1</source>
        <translation>演示站点不完整；被拒绝的写入：%1</translation>
    </message>
    <message>
        <source>These accounts break the account rules and cannot be saved from the form until corrected: %1</source>
        <translation>以下账户违反账户规则，修正前无法在界面中保存：%1</translation>
    </message>
    <message>
        <source>User Management</source>
        <translation>用户管理</translation>
    </message>
    <message>
        <source>Language of the texts, such as zh_CN or de; the system&apos;s by default.</source>
        <translation>界面文字的语言，例如 zh_CN 或 de；默认为系统语言。</translation>
    </message>
    <message>
        <source>language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Store to open: a file, or a database shared by several workstations as postgresql://user@host:port/dbname (the password goes in ~/.pgpass); created and seeded when new.</source>
        <translation>要打开的数据存储：一个文件，或多个工作站共用的数据库 postgresql://用户@主机:端口/数据库名（密码放在 ~/.pgpass 中）；新建时创建并填入示例数据。</translation>
    </message>
    <message>
        <source>path or URL</source>
        <translation>路径或 URL</translation>
    </message>
</context>
</TS>
