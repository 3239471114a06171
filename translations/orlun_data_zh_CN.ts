<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>orlun_data::DataStore</name>
    <message>
        <source>The store %1 cannot be read.</source>
        <translation>无法读取数据库 %1。</translation>
    </message>
    <message>
        <source>The folder %1 of the store %2 does not exist.</source>
        <translation>数据库 %2 所在的文件夹 %1 不存在。</translation>
    </message>
    <message>
        <source>The store %1 is not a file.</source>
        <translation>数据库 %1 不是文件。</translation>
    </message>
    <message>
        <source>The store %1 does not exist and its folder is read-only.</source>
        <translation>数据库 %1 不存在，且其文件夹为只读。</translation>
    </message>
    <message>
        <source>The store %1 cannot be created: %2</source>
        <translation>无法创建数据库 %1：%2</translation>
    </message>
    <message>
        <source>The store %1 was written by a newer client (schema %2, this client knows up to %3).</source>
        <translation>数据库 %1 由更新版本的客户端写入（结构版本 %2，本客户端最高支持 %3）。</translation>
    </message>
    <message>
        <source>The store %1 is damaged (%2).</source>
        <translation>数据库 %1 已损坏（%2）。</translation>
    </message>
    <message>
        <source>The store %1 is locked by another program (waited %2 ms).</source>
        <translation>数据库 %1 被其他程序锁定（已等待 %2 毫秒）。</translation>
    </message>
    <message>
        <source>The store %1 is read-only.</source>
        <translation>数据库 %1 为只读。</translation>
    </message>
    <message>
        <source>The store %1 is damaged or not a store (%2).</source>
        <translation>数据库 %1 已损坏或不是数据库（%2）。</translation>
    </message>
    <message>
        <source>The disk that holds the store %1 is full.</source>
        <translation>存放数据库 %1 的磁盘已满。</translation>
    </message>
    <message>
        <source>The store %1 cannot be opened (%2).</source>
        <translation>无法打开数据库 %1（%2）。</translation>
    </message>
    <message>
        <source>The store %1 failed: %2</source>
        <translation>数据库 %1 出错：%2</translation>
    </message>
    <message>
        <source>No store is open.</source>
        <translation>没有打开的数据库。</translation>
    </message>
    <message>
        <source>The store %1 is not a postgresql://user@host:port/dbname URL.</source>
        <translation>数据存储 %1 不是 postgresql://用户@主机:端口/数据库名 形式的 URL。</translation>
    </message>
    <message>
        <source>The store %1 names a password; keep it in ~/.pgpass (or the file PGPASSFILE names) instead.</source>
        <translation>数据存储 %1 中包含密码；请改为保存在 ~/.pgpass（或 PGPASSFILE 指定的文件）中。</translation>
    </message>
    <message>
        <source>The store %1 needs Qt&apos;s PostgreSQL driver (QPSQL), which is not installed.</source>
        <translation>数据存储 %1 需要 Qt 的 PostgreSQL 驱动（QPSQL），但它未安装。</translation>
    </message>
    <message>
        <source>The store %1 already holds such a record (%2).</source>
        <translation>数据存储 %1 中已有此记录（%2）。</translation>
    </message>
    <message>
        <source>The connection to the store %1 was lost; nothing was saved. The next save connects again.</source>
        <translation>与数据存储 %1 的连接已断开；未保存任何内容。下次保存时将重新连接。</translation>
    </message>
    <message>
        <source>The store %1 cannot be reached; nothing was saved.</source>
        <translation>无法连接数据存储 %1；未保存任何内容。</translation>
    </message>
</context>
<context>
    <name>orlun_data::UserData</name>
    <message numerus="yes">
        <source>the name must be 1 to %n ASCII letters and digits</source>
        <translation>
            <numerusform>名称必须由 1 到 %n 个 ASCII 字母和数字组成</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>the password must be 1 to %n characters without blanks</source>
        <translation>
            <numerusform>密码必须为 1 到 %n 个不含空白的字符</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>the description must be at most %n characters without surrounding blanks</source>
        <translation>
            <numerusform>描述最多 %n 个字符，且首尾不能有空白</numerusform>
        </translation>
    </message>
    <message>
        <source>The grants of %1 were refused (test).</source>
        <translation>%1 的权限被拒绝（测试）。</translation>
    </message>
    <message>
        <source>Grants need an account name.</source>
        <translation>权限需要账户名称。</translation>
    </message>
    <message>
        <source>The account %1 was refused (test).</source>
        <translation>账户 %1 被拒绝（测试）。</translation>
    </message>
    <message>
        <source>The account %1 cannot be stored: %2.</source>
        <translation>无法保存账户 %1：%2。</translation>
    </message>
    <message>
        <source>The name %1 is taken.</source>
        <translation>名称 %1 已被使用。</translation>
    </message>
    <message>
        <source>the account shown is &quot;%1&quot;, whose name the form cannot hold</source>
        <translation>当前显示的账户为“%1”，界面无法容纳该名称</translation>
    </message>
    <message>
        <source>the stored password does not fit the form and would be cut</source>
        <translation>已保存的密码超出界面限制，会被截断</translation>
    </message>
    <message>
        <source>the stored description does not fit the form and would be cut</source>
        <translation>已保存的描述超出界面限制，会被截断</translation>
    </message>
    <message>
        <source>The account %1 was not changed: %2.</source>
        <translation>账户 %1 未被修改：%2。</translation>
    </message>
    <message>
        <source>There is no account %1.</source>
        <translation>不存在账户 %1。</translation>
    </message>
    <message>
        <source>Deleting %1 was refused (test).</source>
        <translation>删除 %1 被拒绝（测试）。</translation>
    </message>
    <message>
        <source>The name %1 was taken at another workstation.</source>
        <translation>名称 %1 已被其他工作站占用。</translation>
    </message>
    <message>
        <source>The account %1 was changed or deleted at another workstation after it was shown here; nothing was saved. Reload it and make the change again.</source>
        <translation>账户 %1 在此处显示后已被其他工作站修改或删除；未保存任何内容。请重新加载后再修改。</translation>
    </message>
</context>
</TS>
